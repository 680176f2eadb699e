fuelwise_add_test(host_core_tests PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/accessible_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/failure_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/property_store_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/design_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gbk_decoder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_scaling_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/design_grid_test.cpp
  LIBS fuelwise_core)
