#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Installs the Debian 12 or 13 packages that building and running (the demo's
# virtual device included) need; with --tests, also what the tests need.
# --windows installs only what cross-building for Windows needs, --wine only
# what the Wine tests need. Idempotent: asks apt only for what is missing.
set -euo pipefail

build_pkgs=(
  cmake g++ make
  qtbase5-dev qtdeclarative5-dev libqt5serialport5-dev qtdeclarative5-dev-tools
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-extras
  qml-module-qtquick-controls qml-module-qtgraphicaleffects
  socat
)
test_pkgs=(
  qml-module-qttest xvfb xdotool x11-utils imagemagick
  python3 python3-pil python3-xlib python3-pyatspi dbus-x11 at-spi2-core
  clang libclang-rt-dev dpkg-dev file
  lintian appstream man-db groff-base
)

# (dpkg-dev, build-essential, perl and python3 for building Qt from its sources)
windows_pkgs=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis xz-utils
              dpkg-dev build-essential perl python3)
wine_pkgs=(wine wine64 xvfb xdotool socat python3 python3-xlib python3-pil gcc libc6-dev file)

pkgs=("${build_pkgs[@]}")
case "${1:-}" in
  --tests) pkgs+=("${test_pkgs[@]}") ;;
  --windows) pkgs=("${windows_pkgs[@]}") ;;
  --wine) pkgs=("${wine_pkgs[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--tests|--windows|--wine]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
# Wait for another apt (an unattended upgrade, a parallel build) to finish.
apt=($sudo apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
