# The radio information view and its text rules, kestrel-cli info.
# The view tests talk to the virtual radio through a real pseudo-terminal.
add_kestrel_test(test_embmsg_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_embmsg_text.cpp LIBS kestrel_link)
add_kestrel_test(test_frmEmbMsg SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmEmbMsg.cpp
                 LIBS kestrel_link_views kestrel_link_testsupport GUI)
add_kestrel_test(test_cli_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_info.cpp
                 LIBS kestrel_link kestrel_link_testsupport)
if(TARGET kestrel-radio-sim)
  foreach(t test_frmEmbMsg test_cli_info)
    add_dependencies(${t} kestrel-radio-sim)
  endforeach()
endif()
add_dependencies(test_cli_info kestrel-cli)
