# Precompiled headers for every C++ target of the build (cmake/pch/): parsing
# the Qt and standard headers was most of the compile time. A target of one
# or two files gains nothing from them and goes without; the test programs
# also get GoogleTest's header.
# gcc 12 loses, for code compiled against a precompiled header, the silence
# it keeps for warnings inside the standard headers, and reports its known
# false -Warray-bounds, -Wstringop-overflow, -overread and -Wrestrict in std::string's
# operator+ (its bugs 105329 and 105651) in a few files. The checked-indexing
# and sanitizer builds still catch real overruns.
set(pchWarnings "$<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-array-bounds;-Wno-stringop-overflow;-Wno-stringop-overread;-Wno-restrict>")
function(corvanta_precompile_all dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    get_target_property(sources ${t} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count LESS 3)
      continue()
    endif()
    target_compile_options(${t} PRIVATE "${pchWarnings}")
    get_target_property(libs ${t} LINK_LIBRARIES)
    if(libs AND "GTest::gtest" IN_LIST libs)
      target_precompile_headers(${t} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch/precompiled_tests.h)
    else()
      target_precompile_headers(${t} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/pch/precompiled.h)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    corvanta_precompile_all(${sub})
  endforeach()
endfunction()
