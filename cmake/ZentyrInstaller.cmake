# SPDX-License-Identifier: MIT
# The Windows installer: a 64-bit NSIS setup program made by CPack (`cpack -G NSIS`, see scripts/windows.sh),
# build/zentyr-<version>-win64.exe. It puts zentyr.exe straight into Program Files\Zentyr: the program is one
# self-contained file, so a bin folder would hold nothing else, and the folder a user opens shows the program
# next to its uninstaller. It adds a Start-menu shortcut "Zentyr", on request a Startup-folder shortcut that
# starts Zentyr with only its tray icon (autostart.nsh), and an uninstaller listed in Add/Remove Programs
# that removes all of it.

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# The NSIS snippets below hold quotes and backslashes that must reach the script as written.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_FILE_NAME ${ZENTYR_INSTALLER_NAME})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zentyr)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Zentyr)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Zentyr)
set(CPACK_NSIS_DISPLAY_NAME Zentyr)
set(CPACK_NSIS_MENU_LINKS zentyr.exe Zentyr)
set(CPACK_NSIS_MUI_ICON ${ZENTYR_GENERATED_DIR}/zentyr.ico)
set(CPACK_NSIS_MUI_UNIICON ${ZENTYR_GENERATED_DIR}/zentyr.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME zentyr.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${ZENTYR_HOMEPAGE})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Without components CPack leaves these two empty: they carry the one optional section.
set(CPACK_NSIS_PAGE_COMPONENTS "!insertmacro MUI_PAGE_COMPONENTS")
set(CPACK_NSIS_COMPONENT_SECTIONS "!include \"${CMAKE_CURRENT_LIST_DIR}/autostart.nsh\"")
# CPack's uninstaller removes the key under the vendor's name but leaves the vendor's key itself. The
# Start-menu folder is known by then (read from the uninstall key, else the default "Zentyr").
set(_vendor_key "Software\\${CPACK_PACKAGE_VENDOR}")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Delete \"$SMSTARTUP\\Zentyr.lnk\"
  DeleteRegKey SHCTX \"${_vendor_key}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty SHCTX \"${_vendor_key}\"")

# makensis builds a 32-bit installer unless told otherwise, and CPack passes it no options of ours.
if(CMAKE_HOST_WIN32)
  find_program(ZENTYR_MAKENSIS makensis PATHS "$ENV{ProgramFiles\(x86\)}/NSIS" "$ENV{ProgramFiles}/NSIS")
  set(_wrapper ${CMAKE_BINARY_DIR}/makensis-amd64.cmd)
  file(WRITE ${_wrapper} "@\"${ZENTYR_MAKENSIS}\" \"/XTarget amd64-unicode\" %*\r\n")
else()
  find_program(ZENTYR_MAKENSIS makensis)
  set(_wrapper ${CMAKE_BINARY_DIR}/makensis-amd64)
  file(WRITE ${_wrapper} "#!/bin/sh\nexec '${ZENTYR_MAKENSIS}' '-XTarget amd64-unicode' \"$@\"\n")
  file(CHMOD ${_wrapper} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endif()
set(CPACK_NSIS_EXECUTABLE ${_wrapper})
