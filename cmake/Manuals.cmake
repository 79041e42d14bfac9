# Manual pages are written for scdoc beside the code they describe and
# installed compressed. Without scdoc the build goes on without them.
find_program(SCDOC_PROGRAM scdoc)
if(NOT SCDOC_PROGRAM)
  message(WARNING "scdoc not found: the manual pages are neither built nor installed (scripts/setup installs it)")
endif()

# corvanta_manual(NAME.SECTION.scd): builds NAME.SECTION.gz with everything
# else and installs it into man/manSECTION.
function(corvanta_manual source)
  if(NOT SCDOC_PROGRAM)
    return()
  endif()
  get_filename_component(page ${source} NAME_WLE)
  string(REGEX MATCH "[0-9]$" section ${page})
  set(roff ${CMAKE_CURRENT_BINARY_DIR}/${page})
  set(out ${roff}.gz)
  # gzip -n: no time stamp, so that the same page gives the same bytes.
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c "'${SCDOC_PROGRAM}' < '${CMAKE_CURRENT_SOURCE_DIR}/${source}' > '${roff}'"
    COMMAND gzip -9nf ${roff}
    DEPENDS ${source}
    COMMENT "Manual page ${page}"
    VERBATIM)
  add_custom_target(manual-${page} ALL DEPENDS ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
