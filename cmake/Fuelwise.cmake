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
