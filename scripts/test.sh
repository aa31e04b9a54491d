#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

# Installs what is missing, builds, and runs every test: unit, view and end to
# end; then the unit and view tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the decoder under libFuzzer (60 s).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
jobs=$(nproc)
# Another folder for another system's build of the same tree (see debian13.sh).
build=${TAVELO_BUILD_DIR:-build}

cmake -S . -B "$build"
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

CC=clang CXX=clang++ cmake -S . -B "$build-sanitize" -DTAVELO_SANITIZE=ON -DTAVELO_FUZZ=ON
cmake --build "$build-sanitize" -j"$jobs"
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build-sanitize" --output-on-failure -j"$jobs" -L 'unit|view|fuzz'
