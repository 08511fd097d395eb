# SPDX-License-Identifier: MIT
# Run by `cmake --install` before anything is copied: notes which of the folders the install is about to
# fill do not exist yet, so that the uninstall removes those it made and no folder that was there before.
# In: ZENTYR_DESTINATIONS (folders relative to the prefix), ZENTYR_FOLDERS_FILE.
set(_made "")
if(EXISTS "${ZENTYR_FOLDERS_FILE}")
  file(STRINGS "${ZENTYR_FOLDERS_FILE}" _made)
endif()
foreach(_dest IN LISTS ZENTYR_DESTINATIONS)
  set(_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${_dest}")
  while(NOT EXISTS "${_dir}")
    list(APPEND _made "${_dir}")
    get_filename_component(_dir "${_dir}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES _made)
list(JOIN _made "\n" _text)
file(WRITE "${ZENTYR_FOLDERS_FILE}" "${_text}\n")
