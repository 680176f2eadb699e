# Portable half of the control host: colours, UTF-8 and GBK text, the property
# store and design files. No platform header in any of these.
target_sources(fuelwise_host_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Colour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Utf8.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GbkDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesignFile.cpp)
