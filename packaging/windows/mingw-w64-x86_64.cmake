# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Cross-building for Windows x86-64 with Debian's MinGW-w64 (posix threads,
# the flavour Qt was built with). Qt for Windows: -DTAVELO_QT_PREFIX=<folder>,
# as printed by scripts/qt-windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVELO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVELO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVELO_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot and from
# Qt for Windows only, never from the Linux host; programs (moc, rcc,
# qmlcachegen, objdump) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVELO_MINGW_TRIPLET} ${TAVELO_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
