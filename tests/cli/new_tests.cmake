add_kestrel_test(test_cli_new SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_new.cpp)
add_dependencies(test_cli_new kestrel-cli)
