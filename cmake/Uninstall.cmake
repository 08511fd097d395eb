# SPDX-License-Identifier: MIT
# `cmake --build build --target uninstall`: removes what `cmake --install build` put in place, files
# (install_manifest.txt) and then the folders it made (install_folders.txt), deepest first, if empty.
# Give it the DESTDIR the install had, if any.
if(NOT EXISTS "${ZENTYR_BUILD_DIR}/install_manifest.txt")
  message(FATAL_ERROR "Nothing to uninstall: no install_manifest.txt in ${ZENTYR_BUILD_DIR}")
endif()
file(STRINGS "${ZENTYR_BUILD_DIR}/install_manifest.txt" _files)
foreach(_file IN LISTS _files)
  set(_file "$ENV{DESTDIR}${_file}") # the manifest leaves DESTDIR out
  if(EXISTS "${_file}" OR IS_SYMLINK "${_file}")
    message(STATUS "Removing ${_file}")
    file(REMOVE "${_file}")
  endif()
endforeach()
if(EXISTS "${ZENTYR_BUILD_DIR}/install_folders.txt")
  file(STRINGS "${ZENTYR_BUILD_DIR}/install_folders.txt" _folders)
  # Longer paths first: a folder's children go before it.
  list(SORT _folders ORDER DESCENDING)
  foreach(_dir IN LISTS _folders)
    file(GLOB _left "${_dir}/*")
    if(IS_DIRECTORY "${_dir}" AND NOT _left)
      message(STATUS "Removing folder ${_dir}")
      file(REMOVE_RECURSE "${_dir}")
    endif()
  endforeach()
  file(REMOVE "${ZENTYR_BUILD_DIR}/install_folders.txt")
endif()
