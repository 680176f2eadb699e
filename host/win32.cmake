# Win32 half of the control host: forms, the user-control base and its drawing
# surface, fonts, pictures, colour translation and the standard child controls.
add_library(fuelwise_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Accessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColourWin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComboBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesignCanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Form.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ItemList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NativeControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PopupMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Shape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StandardControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Surface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Windowless.cpp)
target_link_libraries(fuelwise_host PUBLIC fuelwise_host_core
  user32 gdi32 msimg32 uxtheme comctl32 ole32 oleaut32 uuid windowscodecs shell32 advapi32)
fuelwise_layer(fuelwise_host host)
fuelwise_warnings(fuelwise_host)
