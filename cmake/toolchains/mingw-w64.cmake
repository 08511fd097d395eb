# SPDX-License-Identifier: MIT
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads). Used both for the static Qt
# that scripts/windows.sh builds and for Zentyr itself; ZENTYR_MINGW_QT names that Qt's prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR /usr/bin/x86_64-w64-mingw32-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/x86_64-w64-mingw32-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT ZENTYR_MINGW_QT AND DEFINED ENV{ZENTYR_MINGW_QT})
  set(ZENTYR_MINGW_QT "$ENV{ZENTYR_MINGW_QT}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZENTYR_MINGW_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(ZENTYR_MINGW_QT)
  # Zentyr itself: one self-contained .exe (Qt's -static-runtime still leaves libgcc_s_seh-1.dll), and
  # tests and build-time tools run through Wine.
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
  set(QT_HOST_PATH /usr CACHE PATH "")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
