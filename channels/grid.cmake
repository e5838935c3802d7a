# The channel grid: GUI-free cell rules (also used by kestrel-cli import) and the view.
list(APPEND CHANNELS_RULES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChannelCellRules.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelCellRules.h
  ${CMAKE_CURRENT_LIST_DIR}/ChannelPaste.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelPaste.h
  ${CMAKE_CURRENT_LIST_DIR}/RowCommands.cpp ${CMAKE_CURRENT_LIST_DIR}/RowCommands.h)
# Channel lists in and out: Kestrel's own CSV and the CHIRP generic CSV.
list(APPEND CHANNELS_RULES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CsvText.cpp ${CMAKE_CURRENT_LIST_DIR}/CsvText.h
  ${CMAKE_CURRENT_LIST_DIR}/ChannelListReport.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelListReport.h
  ${CMAKE_CURRENT_LIST_DIR}/ChannelCsv.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelCsv.h
  ${CMAKE_CURRENT_LIST_DIR}/ChirpCsv.cpp ${CMAKE_CURRENT_LIST_DIR}/ChirpCsv.h
  ${CMAKE_CURRENT_LIST_DIR}/ChannelLists.cpp ${CMAKE_CURRENT_LIST_DIR}/ChannelLists.h)
list(APPEND CHANNELS_VIEWS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/frmChannel.cpp ${CMAKE_CURRENT_LIST_DIR}/frmChannel.h
  ${CMAKE_CURRENT_LIST_DIR}/CellEditorInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridBearings.cpp ${CMAKE_CURRENT_LIST_DIR}/GridBearings.h
  ${CMAKE_CURRENT_LIST_DIR}/GridCommands.cpp ${CMAKE_CURRENT_LIST_DIR}/GridCommands.h)
