# kestrel-cli against the virtual radio: Ctrl+C and SIGTERM, --json, messages that say what to do.
if(TARGET kestrel-radio-sim AND UNIX)
  add_kestrel_test(test_cli_unix SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_unix.cpp
                   LIBS kestrel_link kestrel_link_testsupport TIMEOUT 240)
  add_dependencies(test_cli_unix kestrel-radio-sim kestrel-cli)
endif()
