# Build helpers shared by every folder.

# The version is kept in project() of the top CMakeLists.txt alone. Users read
# the build number with four digits ("1.0.0110"): the caption, the version
# resource and the release packages take this form from here.
# fuelwise_display_version(<out> [<build number>]): of this version, or of
# this major.minor with another build number.
function(fuelwise_display_version out)
  set(number ${PROJECT_VERSION_PATCH})
  if(ARGC GREATER 1)
    set(number ${ARGV1})
  endif()
  set(build "000${number}")
  string(LENGTH "${build}" n)
  if(n GREATER 7)
    set(build "${number}")
  else()
    math(EXPR first "${n} - 4")
    string(SUBSTRING "${build}" ${first} 4 build)
  endif()
  set(${out} "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${build}" PARENT_SCOPE)
endfunction()
fuelwise_display_version(FUELWISE_DISPLAY_VERSION)
# The exe's file version as Windows reads it, the FILEVERSION of its version
# resource (app/res/Fuelwise.rc: major, minor, 0, build); the installer's File
# table carries it too.
set(FUELWISE_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.${PROJECT_VERSION_PATCH}")

function(fuelwise_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
  endif()
endfunction()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  if(MINGW)
    # One exe with no DLL beside it but the system's.
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
endif()

if(FUELWISE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# GoogleTest from the system's sources, built with this tree's flags.
macro(fuelwise_setup_gtest)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    if(MINGW)
      set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    endif()
    set(FUELWISE_GTEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    add_subdirectory(${FUELWISE_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endmacro()

# fuelwise_add_test(<name> [PORTABLE] SOURCES ... [LIBS ...])
# One CTest entry per executable: under Wine each entry is a process start.
# PORTABLE tests need no window and are also built natively under the sanitizers;
# the others are built for Windows only and run through the Wine runner.
function(fuelwise_add_test name)
  cmake_parse_arguments(T "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT WIN32 AND NOT T_PORTABLE)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  fuelwise_warnings(${name})
  if(WIN32)
    target_compile_definitions(${name} PRIVATE GTEST_HAS_PTHREAD=0)
  endif()
  # The XML report sits beside the exe (a relative path works under Wine too);
  # scripts/test.sh counts the test cases from it.
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 --gtest_output=xml:${name}.gtest.xml
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    ENVIRONMENT "FUELWISE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# The program as it ships carries no debug information: under Wine the loader
# reads every section of the image into memory, so the DWARF sections of a
# RelWithDebInfo build (over 20 MiB) would count in the working set. They go
# to <exe>.debug beside it, which debuggers find through the debug link.
function(fuelwise_split_debug target)
  if(MINGW AND CMAKE_OBJCOPY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
              $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()

# The layers, from the bottom: host, hook, controls, app. A layer's code may
# include its own headers and those of the layers below it, never those of a
# layer above; and a control includes no other control's headers. Each layer's
# targets are compiled against an include root of their own in the build tree,
# which holds links to just the folders they may include, so an include that
# climbs fails to build ("file not found"). Tests, tools and benchmarks include
# from the source root and see everything.
set(FUELWISE_LAYERS host hook controls app)

# fuelwise_layer_root(<out> <layer> [<control>]): the include root of a layer's
# code. The controls layer's own root holds the layers below it only; each
# control's root adds controls/<control>.
function(fuelwise_layer_root out layer)
  list(FIND FUELWISE_LAYERS ${layer} level)
  if(level LESS 0)
    message(FATAL_ERROR "${layer} is not a layer (${FUELWISE_LAYERS})")
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  set(folders)
  foreach(below IN LISTS FUELWISE_LAYERS)
    if(below STREQUAL layer)
      break()
    endif()
    list(APPEND folders ${below})
  endforeach()
  if(ARGC GREATER 2)
    set(root ${root}-${ARGV2})
    list(APPEND folders ${layer}/${ARGV2})
  elseif(NOT layer STREQUAL "controls")
    list(APPEND folders ${layer})
  endif()
  foreach(folder IN LISTS folders)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# fuelwise_layer(<target> <layer> [<control>]): the target is code of that layer
# (of that control): it is compiled against the layer's include root, and
# fuelwise_check_layers checks what it links.
function(fuelwise_layer target layer)
  fuelwise_layer_root(root ${layer} ${ARGN})
  target_include_directories(${target} PRIVATE ${root})
  set_property(TARGET ${target} PROPERTY FUELWISE_LAYER ${layer})
  set_property(TARGET ${target} PROPERTY FUELWISE_CONTROL "${ARGN}")
  set_property(GLOBAL APPEND PROPERTY FUELWISE_LAYER_TARGETS ${target})
endfunction()

# Once every target exists: a layer's target links nothing of a layer above it,
# a control's target nothing of another control, and none links fuelwise_core
# (all the layers at once, for tests and tools).
function(fuelwise_check_layers)
  get_property(targets GLOBAL PROPERTY FUELWISE_LAYER_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(layer ${target} FUELWISE_LAYER)
    get_target_property(control ${target} FUELWISE_CONTROL)
    list(FIND FUELWISE_LAYERS ${layer} level)
    get_target_property(links ${target} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(link STREQUAL "fuelwise_core")
        message(FATAL_ERROR "${target} (layer ${layer}) links fuelwise_core, which holds every "
                            "layer; link the cores of its own layer and those below")
      endif()
      if(NOT TARGET ${link})
        continue()
      endif()
      get_target_property(link_layer ${link} FUELWISE_LAYER)
      if(NOT link_layer)
        continue()
      endif()
      list(FIND FUELWISE_LAYERS ${link_layer} link_level)
      if(link_level GREATER level)
        message(FATAL_ERROR "${target} (layer ${layer}) links ${link} of the layer above, ${link_layer}")
      endif()
      get_target_property(link_control ${link} FUELWISE_CONTROL)
      if(control AND link_control AND NOT control STREQUAL link_control)
        message(FATAL_ERROR "the control ${control} (${target}) links ${link} of the control ${link_control}")
      endif()
    endforeach()
  endforeach()
endfunction()
