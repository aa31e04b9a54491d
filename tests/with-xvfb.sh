#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Runs a command on an X server of its own (tests run in parallel), with a
# private runtime folder so Qt has nothing to warn about.
set -euo pipefail
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 500); do
  [ -s "$tmp/display" ] && break
  sleep 0.01
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$tmp/display")"
export XDG_RUNTIME_DIR="$tmp"
export QT_QPA_PLATFORM=xcb
"$@"
