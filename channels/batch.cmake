# The batch channel editor: GUI-free fields and apply, and the dialog.
list(APPEND CHANNELS_RULES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ApplyBatch.cpp ${CMAKE_CURRENT_LIST_DIR}/ApplyBatch.h
  ${CMAKE_CURRENT_LIST_DIR}/BatchFields.cpp ${CMAKE_CURRENT_LIST_DIR}/BatchFields.h
  ${CMAKE_CURRENT_LIST_DIR}/ChannelNameStore.h)
list(APPEND CHANNELS_VIEWS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FrmBatch.cpp ${CMAKE_CURRENT_LIST_DIR}/FrmBatch.h)
