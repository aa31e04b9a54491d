#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Runs a command inside a Debian 13 (trixie) root, as root, with the project
# tree at /tavelo (the working folder) and ../shared, when present, at /shared
# (read-only). The root is made once with debootstrap and kept in a cache
# folder, so later runs reuse it; apt works inside.
#
#   scripts/debian13.sh CMD [ARGS...]
#
# TAVELO_DEBIAN13_ROOT picks another root (default /var/cache/tavelo/debian13);
# TAVELO_DEBIAN_MIRROR another mirror. One run at a time uses a root.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 CMD [ARGS...]" >&2; exit 2; }
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=TAVELO_DEBIAN13_ROOT,TAVELO_DEBIAN_MIRROR "$0" "$@"
fi

project=$(cd "$(dirname "$0")/.." && pwd)
shared=$(cd "$project/.." && pwd)/shared
root=${TAVELO_DEBIAN13_ROOT:-/var/cache/tavelo/debian13}
mirror=${TAVELO_DEBIAN_MIRROR:-http://deb.debian.org/debian}

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9

mounted_below() {
  findmnt -rn -o TARGET | awk -v r="$root/" 'index($0 "/", r) == 1' | sort -r
}

mounts=()
cleanup() {
  local status=$?
  trap - EXIT INT TERM
  # Whatever the command left running inside holds the mounts: end it.
  local pid pids=()
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && pids+=("$pid")
  done
  if [ ${#pids[@]} -gt 0 ]; then
    kill -TERM "${pids[@]}" 2>/dev/null || true
    sleep 1
    kill -KILL "${pids[@]}" 2>/dev/null || true
  fi
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  local left
  left=$(mounted_below)
  if [ -n "$left" ]; then
    echo "debian13.sh: still mounted below $root:" >&2
    echo "$left" >&2
    status=1
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

bind() { # bind SOURCE TARGET [ro]
  mkdir -p "$2"
  mount --bind "$1" "$2"
  mounts+=("$2")
  if [ "${3:-}" = ro ]; then
    mount -o remount,bind,ro "$2"
  fi
}

if [ ! -e "$root/.tavelo-ready" ]; then
  if [ -n "$(mounted_below)" ]; then
    echo "debian13.sh: $root is half made and something is mounted below it" >&2
    exit 1
  fi
  rm -rf "$root"
  command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
  echo "Making a Debian 13 root in $root"
  debootstrap --variant=minbase trixie "$root" "$mirror"
  cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
deb ${mirror%/debian}/debian-security trixie-security main
EOF
  # Packages installed inside must not start services in the host's place.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  touch "$root/.tavelo-ready"
fi
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

mkdir -p "$root/proc" "$root/sys"
mount -t proc proc "$root/proc"
mounts+=("$root/proc")
mount -t sysfs sysfs "$root/sys"
mounts+=("$root/sys")
bind /dev "$root/dev"
bind /dev/pts "$root/dev/pts"
bind /dev/shm "$root/dev/shm"
bind "$project" "$root/tavelo"
if [ -d "$shared" ]; then
  bind "$shared" "$root/shared" ro
fi

set +e
chroot "$root" /usr/bin/env -i \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive TERM="${TERM:-dumb}" \
  /bin/bash -c 'cd /tavelo && exec "$@"' debian13 "$@"
status=$?
set -e
exit "$status"
