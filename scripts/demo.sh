#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Tavelo with a virtual device: no hardware needed.
#
#   scripts/demo.sh              keypad: keys 1 to 8 send the commands, q ends
#   scripts/demo.sh --sequence   plays a short sequence, then ends
#   scripts/demo.sh --port N     links the virtual device at /dev/COM<N> (default 99)
#
# Installs what is missing and builds first, unless TAVELO names an executable.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=keypad
port=99
while [ $# -gt 0 ]; do
  case "$1" in
    --sequence) mode=sequence ;;
    --port) port="$2"; shift ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "${TAVELO:-}" ]; then
  scripts/install-deps.sh
  cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" >/dev/null
  TAVELO=build/tavelo
fi

link="/dev/COM$port"
if [ -e "$link" ] || [ -L "$link" ]; then
  echo "$link already exists: choose another number with --port N" >&2
  exit 1
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  echo "Linking $link needs root: sudo asks for your password for that one step."
  sudo="sudo"
fi

work=$(mktemp -d)
socat_pid=""
tavelo_pid=""
finish() {
  local status=$?
  exec 3>&- 2>/dev/null || true
  [ -n "$tavelo_pid" ] && kill "$tavelo_pid" 2>/dev/null && wait "$tavelo_pid" 2>/dev/null || true
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null && wait "$socat_pid" 2>/dev/null || true
  $sudo rm -f "$link"
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

# The pair is the user's own; only the link in /dev needs root.
socat "pty,raw,echo=0,link=$work/port" "pty,raw,echo=0,link=$work/device" &
socat_pid=$!
for _ in $(seq 200); do
  [ -e "$work/port" ] && [ -e "$work/device" ] && break
  sleep 0.02
done
$sudo ln -s "$(readlink -f "$work/port")" "$link"
exec 3>"$work/device"

"$TAVELO" 2> >(tee "$work/log" >&2) &
tavelo_pid=$!
echo "Virtual device at $link: type $port in the prompt and press OK."

# The port is open once the line after the typed number reads 0.
until grep -A1 -x -- "$port" "$work/log" 2>/dev/null | tail -n +2 | grep -qx 0; do
  kill -0 "$tavelo_pid" 2>/dev/null || exit 1
  sleep 0.1
done

send() { printf '%s' "$1" >&3; }

if [ "$mode" = sequence ]; then
  for step in 5 3 1; do send "$step"; sleep 1; done
  send 7; sleep 5
  send 8; sleep 1
  for step in 6 4 2; do send "$step"; sleep 1; done
  echo "End of the sequence."
  exit 0
fi

echo "Keys: 1/2 green on/off, 3/4 yellow on/off, 5/6 red on/off, 7/8 siren on/off, q quits."
while kill -0 "$tavelo_pid" 2>/dev/null; do
  key=""
  IFS= read -rsn1 -t 0.5 key || continue
  case "$key" in
    [1-8]) send "$key" ;;
    q|Q) break ;;
  esac
done
