# Fleet programming: one image into many radios at once, with its audit log
# (GUI-free, shared with kestrel-cli and the benchmark), and the fleet window.
if(TARGET kestrel_link)
  target_sources(kestrel_link PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FleetLog.cpp ${CMAKE_CURRENT_LIST_DIR}/FleetLog.h
    ${CMAKE_CURRENT_LIST_DIR}/FleetWrite.cpp ${CMAKE_CURRENT_LIST_DIR}/FleetWrite.h)
endif()
if(TARGET kestrel_link_views)
  target_sources(kestrel_link_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frmFleet.cpp ${CMAKE_CURRENT_LIST_DIR}/frmFleet.h)
endif()
