#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Makes Qt 5.15.8 for Windows x86-64 (MinGW-w64, posix threads) ready in the
# cache and prints its folder. Does nothing when it is already there.
#
# By default it unpacks the ready build that ../shared/third-party carries,
# after checking its checksum (about a minute). With --from-sources, or when
# that build is not there, it builds Qt from the sources instead (about 45
# minutes with 2 cores): qtbase and qtdeclarative from Debian's source
# packages, qtserialport, qtquickcontrols and qtgraphicaleffects from the
# tarballs of Qt's public tag in ../shared/third-party/qt-5.15.8.
#
# Cache: $TAVELO_CACHE, else $XDG_CACHE_HOME/tavelo, else ~/.cache/tavelo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shared=$(cd "$root/.." && pwd)/shared
third_party="$shared/third-party"
cache="${TAVELO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavelo}"
name=qt-5.15.8-mingw64
qt="$cache/$name"
stamp="$qt/.tavelo-ready"

from_sources=false
[ "${1:-}" = "--from-sources" ] && from_sources=true

if [ -f "$stamp" ]; then
  echo "$qt"
  exit 0
fi
mkdir -p "$cache"
rm -rf "$qt" "$qt.part"

if ! $from_sources && [ -f "$third_party/$name.tar.xz" ]; then
  echo "Unpacking the ready $name" >&2
  (cd "$third_party" && sha256sum --quiet -c "$name.tar.xz.sha256") >&2
  mkdir "$qt.part"
  tar -xJf "$third_party/$name.tar.xz" -C "$qt.part"
  mv "$qt.part/$name" "$qt"
  rmdir "$qt.part"
  touch "$stamp"
  echo "$qt"
  exit 0
fi

# --- from the sources ---------------------------------------------------------
echo "Building $name from the sources (about 45 minutes)" >&2
jobs=$(nproc)
"$root/scripts/install-deps.sh" --windows >&2

work="$cache/$name-sources"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# apt-get source needs deb-src entries: the machine's own archives, as source
# entries, in a private apt state that leaves the machine's alone.
apt_dir="$work/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_dir/sources.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  if [ -f "$f" ]; then
    sed -n 's/^deb /deb-src /p' "$f" >"$apt_dir/sources.list.d/${f##*/}"
  fi
done
for f in /etc/apt/sources.list.d/*.sources; do
  if [ -f "$f" ]; then
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/${f##*/}"
  fi
done
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
          -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists")
apt-get "${apt_opts[@]}" update
# The upstream tarballs only: Debian's patches are for Linux.
apt-get "${apt_opts[@]}" source --download-only qtbase-opensource-src qtdeclarative-opensource-src
(cd "$third_party/qt-5.15.8" && sha256sum --quiet -c SHA256SUMS)
for module in qtbase qtdeclarative; do
  mkdir "$module"
  tar -xJf "$module"-opensource-src_5.15.8*.orig.tar.xz -C "$module" --strip-components=1
done
for module in qtserialport qtquickcontrols qtgraphicaleffects; do
  mkdir "$module"
  tar -xJf "$third_party/qt-5.15.8/$module-everywhere-src-5.15.8.tar.xz" -C "$module" \
      --strip-components=1
  # syncqt generates the module headers only inside a git checkout.
  mkdir -p "$module/.git"
done

mkdir -p build-qtbase
(cd build-qtbase && ../qtbase/configure -prefix "$qt" \
  -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
  -opensource -confirm-license -release -opengl desktop -nomake examples -nomake tests \
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype \
  -no-dbus -no-icu -no-openssl -no-feature-sql -no-feature-vulkan \
  -no-feature-tabletevent \
  && make -j"$jobs" && make install)

build_module() {
  local module=$1
  shift
  mkdir -p "build-$module"
  (cd "build-$module" && "$qt/bin/qmake" "../$module" "$@" && make -j"$jobs" && make install)
}
build_module qtserialport
build_module qtdeclarative -- -no-feature-qml-debug -no-feature-qml-profiler \
  -no-feature-qml-preview -no-feature-quick-particles -no-feature-d3d12
build_module qtquickcontrols
build_module qtgraphicaleffects

# Relocatable, like the ready build: the host tools find Qt beside them.
printf '[Paths]\nPrefix = ..\n' >"$qt/bin/qt.conf"
cd "$cache"
rm -rf "$work"
touch "$stamp"
echo "$qt"
