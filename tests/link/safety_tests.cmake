# Verify after write and the
# backups of kestrel-cli read; the radio tests talk to the virtual radio.
if(TARGET kestrel-radio-sim)
  add_kestrel_test(test_write_verify SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_write_verify.cpp
                   LIBS kestrel_link kestrel_link_testsupport TIMEOUT 240)
  add_dependencies(test_write_verify kestrel-radio-sim kestrel-cli)
endif()
