# Builds the Windows installer from the staged files (cmake -P).
#
#   cmake -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DWXS=Fuelwise.wxs -DSTAGE_DIR=<dir>
#         -DICON_FILE=<ico> -DVERSION=1.0.0110 -DUPGRADE_BELOW=1.0.111 -DOUTPUT=<msi>
#         -P BuildMsi.cmake
#
# The texts of the package are Chinese, so its tables have to be in code page
# 936. wixl writes table strings in the code page its libraries take from
# WINDOWS_LANGUAGE (a character outside it becomes an empty string) and marks
# the database with none; msibuild, run the same way, then marks it 936 and
# gives the summary the Chinese template.
foreach(var WIXL MSIBUILD MSIINFO WXS STAGE_DIR ICON_FILE VERSION UPGRADE_BELOW OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "BuildMsi.cmake needs -D${var}=...")
  endif()
endforeach()

# The installed size, in KiB, for the list of installed programs.
set(bytes 0)
file(GLOB staged LIST_DIRECTORIES false "${STAGE_DIR}/*")
foreach(f ${staged})
  file(SIZE "${f}" size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR size_kb "(${bytes} + 1023) / 1024")

set(ENV{WINDOWS_LANGUAGE} zh_CN)
# A folder of its own for each package, as several may be built at once.
set(work "${OUTPUT}.parts")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
set(building "${work}/package.msi")
# wixl finds sources by paths relative to its working folder only.
file(COPY_FILE "${ICON_FILE}" "${work}/Fuelwise.ico")
file(RELATIVE_PATH stage "${work}" "${STAGE_DIR}")
execute_process(
  COMMAND "${WIXL}" -a x64 -o "${building}"
          -D "Version=${VERSION}" -D "UpgradeBelow=${UPGRADE_BELOW}" -D "SizeKB=${size_kb}"
          -D "StageDir=${stage}" -D "IconFile=Fuelwise.ico" "${WXS}"
  WORKING_DIRECTORY "${work}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "wixl failed (${failed})")
endif()

file(WRITE "${work}/_ForceCodepage.idt" "\r\n\r\n936\t_ForceCodepage\r\n")
execute_process(
  COMMAND "${MSIBUILD}" "${building}" -i "${work}/_ForceCodepage.idt"
          -s "Fuelwise 安装程序" Fuelwise "x64;2052"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msibuild failed (${failed})")
endif()

# A text that did not survive the trip is an empty string: stop here rather
# than ship an installer without its words.
unset(ENV{WINDOWS_LANGUAGE})
execute_process(COMMAND "${MSIINFO}" export "${building}" Property
                OUTPUT_VARIABLE properties RESULT_VARIABLE failed)
if(failed OR NOT properties MATCHES "ARPCOMMENTS\t[^\r\n]")
  message(FATAL_ERROR "the package lost its Chinese texts (code page 936)")
endif()

file(RENAME "${building}" "${OUTPUT}")
file(REMOVE_RECURSE "${work}")
