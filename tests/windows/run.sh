#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Runs the Wine tests against a Windows zip and the installer beside it
# (scripts/build-windows.sh makes both):
#   tests/windows/run.sh build-windows/tavelo-<version>-win64.zip
#
# Needs Wine 10 or later, that is Debian 13 (scripts/test-windows.sh runs it
# in a Debian 13 root): Debian 12's Wine 8 never delivers serial input.
# Installs what it needs with apt. TAVELO_SCREENSHOTS=<folder> also saves the
# tower as it looks under Wine.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 ZIP" >&2; exit 2; }
zip=$(realpath "$1")
installer=${zip%.zip}.exe
[ -f "$installer" ] || { echo "no installer beside $zip" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

"$here/../../scripts/install-deps.sh" --wine

version=$(wine --version)
major=${version#wine-}
major=${major%%.*}
if ! [ "$major" -ge 10 ] 2>/dev/null; then
  echo "$version cannot read serial input from a pty; run this on Debian 13" >&2
  exit 1
fi
echo "$version"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gcc -Wall -Wextra -Werror -O2 -shared -fPIC -o "$tmp/uart_pty.so" "$here/uart_pty.c" -ldl

# In a process group of its own, so that whatever a failed run leaves behind
# (Wine's server and helpers, X, socat) can be ended by that group's id.
export TAVELO_ZIP="$zip" TAVELO_INSTALLER="$installer" TAVELO_UART_PTY="$tmp/uart_pty.so" PYTHONDONTWRITEBYTECODE=1
setsid /usr/bin/python3 "$here/test_wine.py" &
group=$!
status=0
wait "$group" || status=$?
kill -TERM -- "-$group" 2>/dev/null || true
exit "$status"
