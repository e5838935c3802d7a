# Fleet write: many engines at once, the audit log, kestrel-cli write with several
# ports and the fleet window, against virtual radios on pseudo-terminals.
if(TARGET kestrel-radio-sim)
  add_kestrel_test(test_fleet_write SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_fleet_write.cpp
                   LIBS kestrel_link kestrel_link_testsupport TIMEOUT 240)
  add_kestrel_test(test_cli_fleet SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_fleet.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/SilentPty.h LIBS kestrel_link kestrel_link_testsupport TIMEOUT 240)
  add_kestrel_test(test_frmFleet SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmFleet.cpp
                   LIBS kestrel_link_views kestrel_link_testsupport GUI TIMEOUT 240)
  foreach(t test_fleet_write test_cli_fleet test_frmFleet)
    add_dependencies(${t} kestrel-radio-sim)
  endforeach()
  add_dependencies(test_cli_fleet kestrel-cli)
endif()
