#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Cross-builds the Windows program on Debian with MinGW-w64 and packs it:
# build-windows/tavelo-<version>-win64.zip (the program folder) and
# build-windows/tavelo-<version>-win64.exe (an installer). Installs what it
# needs with apt and puts Qt for Windows in the cache (scripts/qt-windows.sh;
# pass --qt-from-sources to build Qt instead of unpacking the ready one).
set -euo pipefail
cd "$(dirname "$0")/.."
qt_args=()
[ "${1:-}" = "--qt-from-sources" ] && qt_args=(--from-sources)

scripts/install-deps.sh --windows

qt=$(scripts/qt-windows.sh "${qt_args[@]}")
# Files stamped with the last commit's time: the same sources give the same files.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi
build=build-windows
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/packaging/windows/mingw-w64-x86_64.cmake" \
  -DTAVELO_QT_PREFIX="$qt"
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tavelo-*-win64.zip "$build"/tavelo-*-win64.exe
(cd "$build" && cpack)
ls -l "$build"/tavelo-*-win64.zip "$build"/tavelo-*-win64.exe
