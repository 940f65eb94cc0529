#!/usr/bin/env bash
# Installs what is missing for the tests, builds everything (the product in a unity build, as the
# set-up command does, and every test) and runs every test.
# Usage: scripts/test.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh --tests
cmake -S . -B "$build" -DBUILD_TESTING=ON -DCMAKE_UNITY_BUILD=ON
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
