# The demo mode's virtual radios through kestrel-cli --demo (no pseudo-terminal).
add_kestrel_test(test_cli_demo SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_demo.cpp LIBS kestrel_link TIMEOUT 240)
add_dependencies(test_cli_demo kestrel-cli)
