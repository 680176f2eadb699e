# cmake -DDATABASE=<compile_commands.json> -DSOURCE_DIR=<src> -DWORK_DIR=<dir>
#       [-DWIN32_LAYERS=1] -P include_roots.cmake
#
# Each case borrows the compile command of a file of one layer, swaps the file
# for a probe that includes one header, and runs it up to the end of the
# preprocessor, where includes are looked up: the header must be found, or the
# compiler must stop on that very header not being found. The probe sits outside the source tree, so the only way to a header is
# the command's include path, as for the file itself.

cmake_minimum_required(VERSION 3.25)

# file whose command is borrowed | header the probe includes | found or missing
set(portable_cases
  host/Colour.cpp                  host/Numeric.h                  found
  host/Colour.cpp                  hook/MessageTable.h             missing
  host/Colour.cpp                  controls/xpText/xpTextModel.h   missing
  host/Colour.cpp                  app/WindowsModel.h              missing
  hook/MessageTable.cpp            host/Colour.h                   found
  hook/MessageTable.cpp            controls/xpText/xpTextModel.h   missing
  hook/MessageTable.cpp            app/WindowsModel.h              missing
  controls/JCombo/JComboModel.cpp  host/GbkDecoder.h               found
  controls/JCombo/JComboModel.cpp  hook/MessageTable.h             found
  controls/JCombo/JComboModel.cpp  controls/JCombo/ListFile.h      found
  controls/JCombo/JComboModel.cpp  controls/xpText/xpTextModel.h   missing
  controls/JCombo/JComboModel.cpp  app/price/PriceText.h           missing
  app/WindowsModel.cpp             controls/xpText/xpTextModel.h   found
  app/price/PriceText.cpp          hook/MessageTable.h             found)
# The Win32 libraries of the layers, in the Windows build.
set(win32_cases
  host/Form.cpp                    hook/GuardedHook.h              missing
  hook/GuardedHook.cpp             host/Colour.h                   found
  controls/JCombo/JCombo.cpp       host/UserControl.h              found
  controls/JCombo/JCombo.cpp       controls/skbutton/skbutton.h    missing
  controls/JCombo/JCombo.cpp       app/ModMain.h                   missing
  controls/skbutton/skbutton.cpp   hook/PlainHook.h                found
  app/ForMain.cpp                  controls/skbutton/skbutton.h    found)

set(cases ${portable_cases})
if(WIN32_LAYERS)
  list(APPEND cases ${win32_cases})
endif()

# The commands of the files the cases borrow from.
file(READ ${DATABASE} database)
string(JSON entries LENGTH ${database})
math(EXPR last "${entries} - 1")
foreach(i RANGE ${last})
  string(JSON file GET ${database} ${i} file)
  file(RELATIVE_PATH file ${SOURCE_DIR} ${file})
  if(file IN_LIST cases)
    string(MAKE_C_IDENTIFIER ${file} key)
    string(JSON command_${key} GET ${database} ${i} command)
    string(JSON directory_${key} GET ${database} ${i} directory)
  endif()
endforeach()

set(failures 0)
set(probe ${WORK_DIR}/layer_probe.cpp)
list(LENGTH cases n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 3)
  math(EXPR h "${i} + 1")
  math(EXPR e "${i} + 2")
  list(GET cases ${i} file)
  list(GET cases ${h} header)
  list(GET cases ${e} expected)
  string(MAKE_C_IDENTIFIER ${file} key)
  if(NOT DEFINED command_${key})
    message(SEND_ERROR "${file}: not in ${DATABASE}")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  file(WRITE ${probe} "#include \"${header}\"\n")

  # The file's command without its output, its dependency file and its source.
  separate_arguments(words UNIX_COMMAND "${command_${key}}")
  set(args)
  set(skip FALSE)
  foreach(word IN LISTS words)
    if(skip)
      set(skip FALSE)
    elseif(word MATCHES "^-(o|MF|MT|MQ)$")
      set(skip TRUE)
    elseif(word MATCHES "^-(c|MD|MMD)$" OR word STREQUAL "${SOURCE_DIR}/${file}")
    else()
      list(APPEND args ${word})
    endif()
  endforeach()
  execute_process(COMMAND ${args} -E -o ${WORK_DIR}/layer_probe.i ${probe}
                  WORKING_DIRECTORY ${directory_${key}}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)

  string(REGEX REPLACE "[.+]" "\\\\\\0" header_pattern ${header})
  if(expected STREQUAL "found" AND status EQUAL 0)
    message(STATUS "ok: ${file} finds ${header}")
  elseif(expected STREQUAL "missing" AND NOT status EQUAL 0
         AND out MATCHES "${header_pattern}'?:? *(No such file or directory|file not found)")
    message(STATUS "ok: ${file} does not find ${header}")
  else()
    set(should "find")
    if(expected STREQUAL "missing")
      set(should "not find")
    endif()
    message(SEND_ERROR "${file} should ${should} ${header}; the compiler said (${status}):\n${out}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include root case(s) failed")
endif()
