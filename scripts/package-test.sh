#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Builds the .deb, checks it as Debian would (lintian, AppStream, the man
# page, one version everywhere), installs it with apt (which must find every
# run-time dependency it names), and runs an end-to-end smoke test against
# the installed /usr/bin/tavelo. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake -S . -B build
cmake --build build -j"$(nproc)"
rm -f build/tavelo_*.deb
(cd build && cpack -G DEB)
deb=$(ls "$PWD"/build/tavelo_*.deb)

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
app_id=io.github.tavelo.Tavelo
metainfo=$tree/usr/share/metainfo/$app_id.metainfo.xml
manpage=$tree/usr/share/man/man1/tavelo.1.gz
changelog=$tree/usr/share/doc/tavelo/changelog.gz

echo "== lintian"
lintian --fail-on error,warning --info --display-info "$deb"

echo "== appstreamcli validate"
appstreamcli validate --no-net "$metainfo"

echo "== man"
# man exits 0 on troff warnings; they only show on stderr.
if ! man_err=$(MANWIDTH=80 man --warnings -l "$manpage" 2>&1 >/dev/null) || [ -n "$man_err" ]; then
  echo "man page: ${man_err:-man failed}" >&2
  exit 1
fi

echo "== one version"
version=$(dpkg-deb -f "$deb" Version)
check_version() {
  if ! grep -qF -- "$2"; then
    echo "$1 does not carry version $version" >&2
    exit 1
  fi
}
zcat "$changelog" | sed -n 1p | check_version changelog "tavelo ($version) "
zcat "$manpage" | grep '^\.TH ' | check_version "man page" "\"Tavelo $version\""
grep '<release ' "$metainfo" | check_version metainfo "version=\"$version\""
echo "all at $version"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --reinstall "$deb"
test -x /usr/bin/tavelo
test -f /usr/share/applications/$app_id.desktop
test -f /usr/share/metainfo/$app_id.metainfo.xml
TAVELO=/usr/bin/tavelo /usr/bin/python3 tests/e2e/test_comandos.py -v
