#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in its own build folder
# (build-asan) and runs the whole suite there with leak detection on. Findings in third-party
# internals (Qt, GLib, D-Bus, xkbcommon) are suppressed by the files in tests/sanitizers/; ours are not.
# Extra arguments go to ctest (for example -R Preference).
set -euo pipefail
cd "$(dirname "$0")/.."
suppressions="$PWD/tests/sanitizers"
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1:suppressions=$suppressions/asan.supp"
export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$suppressions/ubsan.supp"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -DHALOMARK_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure -j2 "$@"
