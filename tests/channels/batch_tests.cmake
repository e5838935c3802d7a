add_kestrel_test(test_apply_batch SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_apply_batch.cpp LIBS kestrel_channels_rules)
add_kestrel_test(test_frmBatch SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frmBatch.cpp LIBS kestrel_channels_views GUI)
