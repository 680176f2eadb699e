# Portable half of the control host: colours, UTF-8 and GBK text, the property
# store, design files and the one way failures are contained. No platform header
# in any of these but the developer's trace, which has one writer per platform.
target_sources(fuelwise_host_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AccessibleText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Colour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesignGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Failure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Utf8.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GbkDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesignFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureScaling.cpp)
if(WIN32)
  target_sources(fuelwise_host_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DebugTraceWin.cpp)
else()
  target_sources(fuelwise_host_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DebugTraceStd.cpp)
endif()
