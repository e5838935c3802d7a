# Finding the cable and the radio: the port list, the radio probe, the cable check
# (GUI-free, shared with kestrel-cli) and the cable check window.
if(TARGET kestrel_link)
  target_sources(kestrel_link PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CableDoctor.cpp ${CMAKE_CURRENT_LIST_DIR}/CableDoctor.h
    ${CMAKE_CURRENT_LIST_DIR}/LowLatency.cpp ${CMAKE_CURRENT_LIST_DIR}/LowLatency.h
    ${CMAKE_CURRENT_LIST_DIR}/PortInfo.cpp ${CMAKE_CURRENT_LIST_DIR}/PortInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/RadioProbe.cpp ${CMAKE_CURRENT_LIST_DIR}/RadioProbe.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemChecks.cpp ${CMAKE_CURRENT_LIST_DIR}/SystemChecks.h)
endif()
if(TARGET kestrel_link_views)
  target_sources(kestrel_link_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frmCableCheck.cpp ${CMAKE_CURRENT_LIST_DIR}/frmCableCheck.h)
endif()
