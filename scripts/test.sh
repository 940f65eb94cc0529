#!/usr/bin/env bash
# Installs what is missing for the tests, builds everything (the product, every test and the
# benches) and runs every test. Usage: scripts/test.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh --tests
cmake -S . -B "$build" -DBUILD_TESTING=ON
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
