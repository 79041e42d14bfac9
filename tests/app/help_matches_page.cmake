# Checks that a program's --help and its manual page name the same options
# and the same command words, so that neither drifts when the other changes.
#   cmake -DPROGRAM=exe -DPAGE=page.1.scd [-DHELP_LIST=heading -DPAGE_SECTION=NAME] -P help_matches_page.cmake
# Options are the --words anywhere in either text (--help itself, which the
# check runs, may go unlisted by it). With HELP_LIST, the words
# that begin the lines indented by two blanks after that heading in --help
# are matched against the lines that begin with a *bold word* in the page's
# section PAGE_SECTION. Every CORVANTA_ variable --help names must be in
# the page too.

cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help ERROR_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help exited with ${status}")
endif()
file(READ ${PAGE} page)
string(REPLACE "\\" "" page "${page}")  # scdoc escapes: CORVANTA\_X
get_filename_component(program ${PROGRAM} NAME)
get_filename_component(pageName ${PAGE} NAME)

set(problems "")
# Appends to problems every item of 'have' missing from 'want'.
function(report_missing have want text)
  foreach(item IN LISTS ${have})
    if(NOT item IN_LIST ${want})
      string(APPEND problems "\n  ${item}: ${text}")
    endif()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

string(REGEX MATCHALL "--[a-z0-9][a-z0-9-]*" helpOptions "${help}")
string(REGEX MATCHALL "--[a-z0-9][a-z0-9-]*" pageOptions "${page}")
list(REMOVE_DUPLICATES helpOptions)
list(REMOVE_DUPLICATES pageOptions)
report_missing(helpOptions pageOptions "in ${program} --help but not in ${pageName}")
list(REMOVE_ITEM pageOptions --help)
report_missing(pageOptions helpOptions "in ${pageName} but not in ${program} --help")

string(REGEX MATCHALL "CORVANTA_[A-Z0-9_]+" helpVariables "${help}")
string(REGEX MATCHALL "CORVANTA_[A-Z0-9_]+" pageVariables "${page}")
report_missing(helpVariables pageVariables "in ${program} --help but not in ${pageName}")

if(HELP_LIST)
  string(FIND "${help}" "${HELP_LIST}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${program} --help has no \"${HELP_LIST}\" heading")
  endif()
  string(SUBSTRING "${help}" ${at} -1 list)
  string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" helpWords "${list}")
  string(REGEX REPLACE "\n  " "" helpWords "${helpWords}")

  string(FIND "${page}" "\n# ${PAGE_SECTION}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "${pageName} has no section # ${PAGE_SECTION}")
  endif()
  string(SUBSTRING "${page}" ${at} -1 section)
  string(REGEX REPLACE "^\n# [^\n]*\n" "" section "${section}")
  string(FIND "${section}" "\n# " end)
  string(SUBSTRING "${section}" 0 ${end} section)
  string(REGEX MATCHALL "\n\\*[a-z][a-z0-9-]*\\*" pageWords "\n${section}")
  string(REGEX REPLACE "[\n*]" "" pageWords "${pageWords}")

  report_missing(helpWords pageWords "listed by ${program} --help but not in # ${PAGE_SECTION} of ${pageName}")
  report_missing(pageWords helpWords "in # ${PAGE_SECTION} of ${pageName} but not listed by ${program} --help")
endif()

if(problems)
  message(FATAL_ERROR "${program} --help and its manual page ${pageName} disagree; "
                      "mend the page (or the help):${problems}")
endif()
