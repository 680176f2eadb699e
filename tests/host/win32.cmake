# The control host's Windows tests (run under Wine).
fuelwise_add_test(host_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleRead.cpp
    ${CMAKE_CURRENT_LIST_DIR}/usercontrol_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windowless_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/host_tests.rc
  LIBS fuelwise_host oleacc)
