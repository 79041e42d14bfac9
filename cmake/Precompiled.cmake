# Precompiled headers (cmake/pch/): parsing the Qt and standard headers was
# most of the compile time, and a precompiled header of the Qt widgets costs
# as much to build as four files. So a few small targets build them, one per
# level of what a target can reach (the standard library alone, Qt Core with
# its network, serial and SQL modules, Qt Widgets; each again with GoogleTest
# for the tests), and every other target reuses the one of its level. A
# target that reaches Qt Gui but not the widgets takes Qt Core's: no header
# of Qt Gui alone is common enough to pay for a header of its own. The codec libraries, which reach no Qt, so see no Qt in theirs.
#
# gcc refuses a precompiled header built with a macro the file using it does
# not define; the QT_*_LIB macros differ from target to target and no header
# tests them, so the builders define none of them.
#
# gcc 12 loses, for code compiled against a precompiled header, the silence
# it keeps for warnings inside the standard headers, and reports its known
# false -Warray-bounds, -Wstringop-overflow, -overread and -Wrestrict in
# std::string's operator+ (its bugs 105329 and 105651) in a few files. The
# checked-indexing and sanitizer builds still catch real overruns.
set(pchWarnings "$<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-array-bounds;-Wno-stringop-overflow;-Wno-stringop-overread;-Wno-restrict>")

# The tests are compiled without optimisation: it is most of what compiling
# them costs (GoogleTest's macros expand to much code), and they run as fast,
# being spent waiting on simulated lines. The libraries under test keep the
# build's own optimisation. A precompiled header is used only by files
# compiled at its level of optimisation, so the tests' builders match.
set(testOptimisation "$<$<NOT:$<CONFIG:Debug>>:-O0>")

set(pchQtModules_core Core Network SerialPort Sql)
set(pchQtModules_widgets ${pchQtModules_core} Gui Widgets)

# The target that builds the precompiled header of `level` (pure, core,
# widgets) for the programs (`tests` false) or the tests.
function(corvanta_pch_builder level tests out)
  set(name corvanta_pch_${level})
  set(header ${PROJECT_SOURCE_DIR}/cmake/pch/precompiled.h)
  if(tests)
    set(name ${name}_tests)
    set(header ${PROJECT_SOURCE_DIR}/cmake/pch/precompiled_tests.h)
  endif()
  set(${out} ${name} PARENT_SCOPE)
  if(TARGET ${name})
    return()
  endif()
  add_library(${name} STATIC ${PROJECT_SOURCE_DIR}/cmake/pch/builder.cpp)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  set(modules ${pchQtModules_${level}})
  foreach(m IN LISTS modules)
    target_include_directories(${name} PRIVATE $<TARGET_PROPERTY:Qt6::${m},INTERFACE_INCLUDE_DIRECTORIES>)
  endforeach()
  if(modules)
    # What Qt gives every target that links it, less its QT_*_LIB macros.
    target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:Qt6::Core,INTERFACE_COMPILE_OPTIONS>)
    target_compile_definitions(${name} PRIVATE $<$<NOT:$<CONFIG:Debug>>:QT_NO_DEBUG>)
  endif()
  if(tests)
    target_link_libraries(${name} PRIVATE GTest::gtest)
    target_compile_options(${name} PRIVATE "${testOptimisation}")
  endif()
  target_compile_options(${name} PRIVATE "${pchWarnings}")
  target_precompile_headers(${name} PRIVATE ${header})
endfunction()

# Every target `target` links, directly or through others.
function(corvanta_linked_closure target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue t)
    if(NOT TARGET ${t} OR t IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${t})
    get_target_property(aliased ${t} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
    endif()
    foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${t} ${prop})
      if(libs)
        foreach(l IN LISTS libs)
          # Plain names only; generator expressions carry no targets here
          # but Qt's own private links, which change no level.
          if(NOT l MATCHES "[$<>]")
            list(APPEND queue ${l})
          endif()
        endforeach()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(corvanta_precompile_all dir)
  corvanta_targets_under(${dir} targets)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    get_target_property(sources ${t} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
      continue()
    endif()
    corvanta_linked_closure(${t} reached)
    set(level pure)
    if(Qt6::Widgets IN_LIST reached)
      set(level widgets)
    elseif(Qt6::Core IN_LIST reached)
      set(level core)
    endif()
    set(tests FALSE)
    if(GTest::gtest IN_LIST reached)
      set(tests TRUE)
    endif()
    corvanta_pch_builder(${level} ${tests} builder)
    if(tests)
      target_compile_options(${t} PRIVATE "${testOptimisation}")
    endif()
    target_compile_options(${t} PRIVATE "${pchWarnings}")
    target_precompile_headers(${t} REUSE_FROM ${builder})
  endforeach()
endfunction()
