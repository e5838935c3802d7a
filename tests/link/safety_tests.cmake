# Comparing images (also through kestrel-cli diff), verify after write and the
# backups of kestrel-cli read; the radio tests talk to the virtual radio.
add_kestrel_test(test_image_compare SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_image_compare.cpp LIBS kestrel_link)
add_dependencies(test_image_compare kestrel-cli)
if(TARGET kestrel-radio-sim)
  add_kestrel_test(test_write_verify SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_write_verify.cpp
                   LIBS kestrel_link kestrel_link_testsupport TIMEOUT 240)
  add_dependencies(test_write_verify kestrel-radio-sim kestrel-cli)
endif()
