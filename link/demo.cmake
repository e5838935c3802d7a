# The demo mode: virtual radios played inside the program, reached through the
# clone engine's transport (GUI-free, shared with kestrel-cli and the tests).
if(TARGET kestrel_link)
  target_sources(kestrel_link PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/InProcessRadio.cpp ${CMAKE_CURRENT_LIST_DIR}/InProcessRadio.h
    ${CMAKE_CURRENT_LIST_DIR}/VirtualRadios.cpp ${CMAKE_CURRENT_LIST_DIR}/VirtualRadios.h)
endif()
