# Runs systemd-analyze verify on the units in UNITS (a list) as user units,
# failing on any line it prints, not only on its exit status: an unknown key
# is only a warning to it.
#   cmake -DANALYZE=systemd-analyze -DUNITS=a;b -DRUNTIME=dir -P verify_units.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ANALYZE)
  message("systemd-analyze is not installed: the backup timer's units are not verified (apt install systemd)")
  # ctest's SKIP_RETURN_CODE
  cmake_language(EXIT 77)
endif()
# A user manager wants a runtime folder of its own, which a build has not.
file(MAKE_DIRECTORY ${RUNTIME})
file(CHMOD ${RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_RUNTIME_DIR=${RUNTIME}
                  ${ANALYZE} verify --user --man=no ${UNITS}
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "systemd-analyze verify: status ${status}\n${out}")
endif()
