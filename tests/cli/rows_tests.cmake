add_kestrel_test(test_cli_rows SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_rows.cpp)
add_dependencies(test_cli_rows kestrel-cli)
