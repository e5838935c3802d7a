# Port selection and the radio information view. The text rules of the
# identification lines go with the GUI-free link library (kestrel-cli uses them).
list(APPEND LINK_RULES_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/EmbMsgText.cpp ${CMAKE_CURRENT_LIST_DIR}/EmbMsgText.h)
list(APPEND LINK_VIEWS_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/frmPort.cpp ${CMAKE_CURRENT_LIST_DIR}/frmPort.h
  ${CMAKE_CURRENT_LIST_DIR}/frmEmbMsg.cpp ${CMAKE_CURRENT_LIST_DIR}/frmEmbMsg.h)
if(TARGET kestrel_link)
  target_sources(kestrel_link PRIVATE ${LINK_RULES_EXTRA})
endif()
if(TARGET kestrel_link_views)
  target_sources(kestrel_link_views PRIVATE ${LINK_VIEWS_EXTRA})
endif()
