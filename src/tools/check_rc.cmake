# SPDX-License-Identifier: MIT
# Compiles the resource script with windres, decompiles the result and checks
# that the icon and the version numbers made it through.
#   WINDRES, RC_FILE, WORK_DIR, FILE_VERSION ("2, 1, 0, 23"), VERSION_STRING

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# windres preprocesses with the cross compiler; without one the host's C
# preprocessor does as well, since the script includes no headers.
set(_pre)
get_filename_component(_windres_dir ${WINDRES} DIRECTORY)
find_program(_cross_gcc NAMES x86_64-w64-mingw32-gcc HINTS ${_windres_dir})
if(NOT _cross_gcc)
  find_program(_cpp NAMES cpp)
  if(NOT _cpp)
    message(FATAL_ERROR "no C preprocessor for windres")
  endif()
  set(_pre --preprocessor=${_cpp})
endif()

execute_process(
  COMMAND ${WINDRES} ${_pre} -i ${RC_FILE} -O res -o ${WORK_DIR}/zentyr.res
  RESULT_VARIABLE _rc ERROR_VARIABLE _err OUTPUT_VARIABLE _out)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "windres could not compile ${RC_FILE}:\n${_out}${_err}")
endif()

execute_process(
  COMMAND ${WINDRES} -i ${WORK_DIR}/zentyr.res -O rc -o ${WORK_DIR}/roundtrip.rc
  RESULT_VARIABLE _rc ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "windres could not read back the compiled resources:\n${_err}")
endif()
file(READ ${WORK_DIR}/roundtrip.rc _text)

function(expect what regex)
  if(NOT _text MATCHES "${regex}")
    message(FATAL_ERROR "compiled resources lack ${what} (${regex}):\n${_text}")
  endif()
endfunction()

string(REPLACE "." "\\." _vs "${VERSION_STRING}")
expect("the file version" "FILEVERSION ${FILE_VERSION}\n")
expect("the product version" "PRODUCTVERSION ${FILE_VERSION}\n")
expect("FileVersion" "VALUE \"FileVersion\", \"${_vs}\"")
expect("ProductVersion" "VALUE \"ProductVersion\", \"${_vs}\"")
expect("FileDescription" "VALUE \"FileDescription\", \"Ruler\"")
expect("ProductName" "VALUE \"ProductName\", \"Zentyr\"")
expect("InternalName" "VALUE \"InternalName\", \"Zentyr\"")
# One icon group holding two images.
expect("the icon group" "RT_GROUP_ICON")
foreach(_kind "RT_ICON \\*/" "Element no")
  string(REGEX MATCHALL "${_kind}" _hits "${_text}")
  list(LENGTH _hits _count)
  if(NOT _count EQUAL 2)
    message(FATAL_ERROR "expected two icon images in the resources, found ${_count} (${_kind}):\n${_text}")
  endif()
endforeach()
message(STATUS "resource script compiles; version ${VERSION_STRING}, two icon images")
