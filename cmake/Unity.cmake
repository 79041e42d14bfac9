# Unity builds: a target's files compiled a batch at a time, each batch one
# file that includes them. A file spent most of its compile on what every
# file of its target shares: loading the precompiled header (up to 200 MB),
# the project's and Qt's headers beyond it, and the code of the same
# templates and inline functions, which a batch makes once.
#
# CMake's own unity builds include each file by its absolute path, which the
# compiler cache would then hash, and a clone at another path could be served
# nothing. These batches name each file relative to the checkout, so a batch
# is the same text in every clone. Files the build makes are compiled alone.
#
# The files of a batch share one translation unit: what one file declares in
# an anonymous namespace or with `using` is seen by the files after it, so such
# helpers carry names of their own. gcc's warning on a class whose base lies
# in an anonymous namespace of an included file (meant for headers) is off:
# here every such file is compiled into one unit only.
# -DCORVANTA_BATCHES=OFF compiles every file alone, for tools that want each
# in the compile database (clangd) and for a look at one file's errors.
option(CORVANTA_BATCHES "Compile each target's files in batches" ON)

function(corvanta_unity target batchSize)
  get_target_property(done ${target} CORVANTA_BATCHED)
  if(done OR NOT CORVANTA_BATCHES)
    return()
  endif()
  set_property(TARGET ${target} PROPERTY CORVANTA_BATCHED TRUE)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(binaryDir ${target} BINARY_DIR)
  set(batch "")
  set(count 0)
  set(index 0)
  set(members "")
  foreach(s IN LISTS sources)
    if(NOT s MATCHES "\\.cpp$" OR s MATCHES "[$<>]")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH s BASE_DIRECTORY ${dir} OUTPUT_VARIABLE file)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${file} NORMALIZE inCheckout)
    cmake_path(IS_PREFIX PROJECT_BINARY_DIR ${file} NORMALIZE inBuild)
    if(NOT inCheckout OR inBuild OR NOT EXISTS ${file})
      continue()
    endif()
    cmake_path(RELATIVE_PATH file BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE relative)
    string(APPEND batch "#include \"${relative}\"\n")
    list(APPEND members ${file})
    math(EXPR count "${count} + 1")
    if(count EQUAL batchSize)
      corvanta_unity_batch(${target} ${binaryDir} ${index} "${batch}")
      math(EXPR index "${index} + 1")
      set(batch "")
      set(count 0)
    endif()
  endforeach()
  if(count GREATER 0)
    corvanta_unity_batch(${target} ${binaryDir} ${index} "${batch}")
  endif()
  set_source_files_properties(${members} TARGET_DIRECTORY ${target} PROPERTIES HEADER_FILE_ONLY ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
endfunction()

function(corvanta_unity_batch target binaryDir index text)
  set(file ${binaryDir}/${target}_batch_${index}.cpp)
  # Written only when its text changes, so a new configuration rebuilds
  # nothing that is the same.
  file(CONFIGURE OUTPUT ${file} @ONLY CONTENT "// Made by the build: the files compiled together.\n${text}")
  target_sources(${target} PRIVATE ${file})
endfunction()

# Every library and program under `dir` not batched already, in batches of
# `batchSize`.
function(corvanta_unity_all dir batchSize)
  corvanta_targets_under(${dir} targets)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      corvanta_unity(${t} ${batchSize})
    endif()
  endforeach()
endfunction()
