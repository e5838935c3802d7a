# Channel lists in and out of an image (kestrel-cli channels / import): GUI-free.
list(APPEND CHANNELS_RULES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChannelCsv.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelCsv.h)
