#!/usr/bin/env bash
# Builds the .deb, installs it with apt (which must find every run-time
# dependency it names), and runs an end-to-end smoke test against the
# installed /usr/bin/tavelo. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake -S . -B build
cmake --build build -j"$(nproc)"
rm -f build/tavelo_*.deb
(cd build && cpack -G DEB)
deb=$(ls "$PWD"/build/tavelo_*.deb)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --reinstall "$deb"
test -x /usr/bin/tavelo
test -f /usr/share/applications/tavelo.desktop
TAVELO=/usr/bin/tavelo /usr/bin/python3 tests/e2e/test_comandos.py -v
