# SPDX-License-Identifier: MIT
# Windows builds, native or cross-compiled with MinGW-w64 (cmake/toolchains/mingw-w64.cmake, the
# "windows" preset, scripts/windows.sh).

# The program is one self-contained .exe: it goes straight into the installation folder. A plain
# variable, as qt_standard_project_setup() has already put GNUInstallDirs' "bin" in the cache.
set(CMAKE_INSTALL_BINDIR .)
set(ZENTYR_INSTALLER_NAME zentyr-${PROJECT_VERSION}-win64)

# A static Qt links its plugins into each program; the tests need the offscreen platform.
get_target_property(_zentyr_qt_type Qt6::Core TYPE)
if(_zentyr_qt_type STREQUAL "STATIC_LIBRARY")
  set(ZENTYR_STATIC_QT ON)
else()
  set(ZENTYR_STATIC_QT OFF)
endif()

# The static Qt's prefix, however the toolchain got it (-D or the environment), kept for later runs.
if(ZENTYR_MINGW_QT)
  set(ZENTYR_MINGW_QT "${ZENTYR_MINGW_QT}" CACHE PATH "Prefix of the static Qt for MinGW-w64 (scripts/lib/mingw-qt.sh)")
endif()

# Cross-compiled, every Windows program the build or CTest runs (the icon generator, the tests) goes
# through Wine in one prefix inside the build folder, which scripts/windows.sh makes afresh. No .NET or
# HTML engine: their installers would ask, in a window, to download them.
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(ZENTYR_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${ZENTYR_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
