#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Builds the Windows zip and installer (scripts/build-windows.sh), then runs
# the Wine tests against the zip inside a Debian 13 root, whose Wine reads
# serial ports (scripts/debian13.sh). Needs root or sudo for the root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh
zip=$(ls build-windows/tavelo-*-win64.zip)
scripts/debian13.sh tests/windows/run.sh "$zip"
