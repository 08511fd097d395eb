# SPDX-License-Identifier: MIT
# What a desktop and a package manager need besides the program: AppStream
# metainfo, the manual page, the copyright and changelog files, and the
# Debian package built from them by CPack (`cpack -G DEB`, see scripts/package.sh).
# On Windows: the NSIS installer instead (`cpack -G NSIS`, see scripts/windows.sh).

include(GNUInstallDirs)

set(ZENTYR_APP_ID org.zentyr.Zentyr)
set(ZENTYR_HOMEPAGE "https://zentyr.example.com" CACHE STRING "Public home of the project (its repository)")
set(ZENTYR_SCREENSHOT_URL "${ZENTYR_HOMEPAGE}/raw/main/docs/screenshots" CACHE STRING
  "Public folder of docs/screenshots, for the AppStream metainfo")
set(ZENTYR_MAINTAINER "The Zentyr developers <support@zentyr.example.com>" CACHE STRING
  "Maintainer of the Debian package")
# The date of this release, kept fixed so that rebuilt packages are the same.
set(ZENTYR_RELEASE_DATE 2026-12-07)
set(ZENTYR_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 00:00:00 +0000")

if(NOT WIN32)
  set(_pkg_dir ${CMAKE_BINARY_DIR}/generated/package)
  configure_file(${CMAKE_SOURCE_DIR}/data/${ZENTYR_APP_ID}.metainfo.xml.in
    ${_pkg_dir}/${ZENTYR_APP_ID}.metainfo.xml @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/data/copyright ${_pkg_dir}/copyright @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/data/changelog.in ${_pkg_dir}/changelog @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/data/zentyr.1.in ${_pkg_dir}/zentyr.1 @ONLY)

  # Debian installs manual pages and changelogs compressed, without a time stamp.
  add_custom_command(
    OUTPUT ${_pkg_dir}/zentyr.1.gz ${_pkg_dir}/changelog.gz
    COMMAND gzip -9nkf ${_pkg_dir}/zentyr.1 ${_pkg_dir}/changelog
    DEPENDS ${_pkg_dir}/zentyr.1 ${_pkg_dir}/changelog
    COMMENT "Compressing the manual page and the changelog"
    VERBATIM)
  add_custom_target(zentyr_docs ALL DEPENDS ${_pkg_dir}/zentyr.1.gz ${_pkg_dir}/changelog.gz)

  install(FILES ${_pkg_dir}/${ZENTYR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_pkg_dir}/zentyr.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_pkg_dir}/copyright ${_pkg_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME zentyr)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zentyr developers")
set(CPACK_PACKAGE_CONTACT "${ZENTYR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen rulers that stay on top")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  include(ZentyrInstaller)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZENTYR_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZENTYR_HOMEPAGE}")
  # The summary above is the synopsis line; this is the long description under it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zentyr puts pictures of rulers on the screen, to measure, line up and keep
your place in documents and graphics. It lives in the notification area
(system tray) and shows a horizontal inch ruler that stays on top of every
window; its menus open a metric, a vertical and a 45-degree angle ruler, and
lay a picture of your own over the standard ruler.")
  # Libraries come from the binary; the font and the extra picture formats are
  # loaded by name at run time, where no library scan sees them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
  set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
endif()
include(CPack)
