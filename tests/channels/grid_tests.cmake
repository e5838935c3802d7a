# The channel grid: its rules without a window, the widget on the offscreen platform,
# and kestrel-cli import.
add_kestrel_test(test_cell_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cell_rules.cpp LIBS kestrel_channels_rules)
add_kestrel_test(test_frmChannel SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmChannel.cpp LIBS kestrel_channels_views GUI)
add_kestrel_test(test_cli_import SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_import.cpp LIBS kestrel_channels_rules)
add_dependencies(test_cli_import kestrel-cli)
add_kestrel_test(test_channel_paste SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_channel_paste.cpp LIBS kestrel_channels_rules)
add_kestrel_test(test_row_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_row_commands.cpp LIBS kestrel_channels_rules)
add_kestrel_test(test_grid_editing SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_grid_editing.cpp LIBS kestrel_channels_views GUI)
add_kestrel_test(test_channel_lists SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_channel_lists.cpp LIBS kestrel_channels_rules)
