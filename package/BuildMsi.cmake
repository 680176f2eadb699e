# Builds the Windows installer from the staged files (cmake -P).
#
#   cmake -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DPYTHON=... -DWXS=Fuelwise.wxs -DSTAGE_DIR=<dir>
#         -DICON_FILE=<ico> -DVERSION=1.0.0110 -DUPGRADE_BELOW=1.0.111 -DFILE_VERSION=1.0.0.110
#         -DOUTPUT=<msi> -P BuildMsi.cmake
#
# FILE_VERSION is the exe's own (the FILEVERSION of its version resource): the
# Installer compares it with the file it finds, and the list of installed files
# shows it.
#
# The texts of the package are Chinese, so its tables have to be in code page
# 936. wixl writes table strings in the code page its libraries take from
# WINDOWS_LANGUAGE (a character outside it becomes an empty string) and marks
# the database with none; msibuild, run the same way, then marks it 936 and
# gives the summary the Chinese template. Neither turns the summary's texts
# into its code page (936, they stay UTF-8 bytes): summary-codepage.py does.
foreach(var WIXL MSIBUILD MSIINFO PYTHON WXS STAGE_DIR ICON_FILE VERSION UPGRADE_BELOW FILE_VERSION OUTPUT)
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

# What wixl 0.101 cannot say, said in SQL:
# - the exe's version and language (File's DefaultVersion is not read; 2052 is
#   the language of its version resource, app/res/Fuelwise.rc); a file with a
#   version has no hash in MsiFileHash, which is for unversioned files;
# - the settings key, removed with all it holds when the program is (a
#   Registry row named "-" without a value; RegistryKey's
#   ForceDeleteOnUninstall is not read).
set(sql
  "UPDATE `File` SET `Version` = '${FILE_VERSION}', `Language` = '2052' WHERE `File` = 'FuelwiseExe'"
  "DELETE FROM `MsiFileHash` WHERE `File_` = 'FuelwiseExe'"
  "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`)
   VALUES ('Settings', 1, 'Software\\Fuelwise', '-', 'Program')")
set(queries)
foreach(q IN LISTS sql)
  list(APPEND queries -q "${q}")
endforeach()
file(WRITE "${work}/_ForceCodepage.idt" "\r\n\r\n936\t_ForceCodepage\r\n")
execute_process(
  COMMAND "${MSIBUILD}" "${building}" -i "${work}/_ForceCodepage.idt" ${queries}
          -s "Fuelwise 安装程序" Fuelwise "x64;2052"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msibuild failed (${failed})")
endif()
execute_process(
  COMMAND "${PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/summary-codepage.py" "${building}"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the summary's texts could not be put in code page 936 (${failed})")
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
