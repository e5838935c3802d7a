# Named ports, the radio probe, the cable check, kestrel-cli ports/detect/doctor. All
# on real pseudo-terminals with the virtual radio.
if(TARGET kestrel-radio-sim)
  add_kestrel_test(test_system_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_system_checks.cpp
                   LIBS kestrel_link kestrel_link_testsupport)
  add_kestrel_test(test_radio_probe SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_radio_probe.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/SilentPty.h LIBS kestrel_link kestrel_link_testsupport)
  add_kestrel_test(test_port_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_info.cpp
                   LIBS kestrel_link kestrel_link_testsupport)
  add_kestrel_test(test_frmCableCheck SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmCableCheck.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/SilentPty.h LIBS kestrel_link_views kestrel_link_testsupport GUI)
  add_kestrel_test(test_cli_cable SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_cable.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/SilentPty.h LIBS kestrel_link kestrel_link_testsupport)
  foreach(t test_system_checks test_radio_probe test_port_info test_frmCableCheck test_cli_cable)
    add_dependencies(${t} kestrel-radio-sim)
  endforeach()
  add_dependencies(test_cli_cable kestrel-cli)
endif()
