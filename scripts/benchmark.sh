#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Installs what is missing, builds tavelo and its floors, and prints the
# benchmark's table and ratios (about three minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake -S . -B build -DTAVELO_BENCHMARK=ON
cmake --build build -j"$(nproc)"
/usr/bin/python3 bench/benchmark.py build
