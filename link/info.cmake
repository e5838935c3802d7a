# The radio information view. The text rules of the
# identification lines in kestrel_link_info (QtCore only; kestrel-cli and the
# comparison of two images use them).
kestrel_module(kestrel_link_info
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EmbMsgText.cpp ${CMAKE_CURRENT_LIST_DIR}/EmbMsgText.h
  LIBS kestrel_core)
list(APPEND LINK_VIEWS_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/frmEmbMsg.cpp ${CMAKE_CURRENT_LIST_DIR}/frmEmbMsg.h)
if(TARGET kestrel_link)
  target_link_libraries(kestrel_link PUBLIC kestrel_link_info)
endif()
if(TARGET kestrel_link_views)
  target_sources(kestrel_link_views PRIVATE ${LINK_VIEWS_EXTRA})
endif()
