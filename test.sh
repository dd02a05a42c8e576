#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the native tree (core, CLI, simulator)
# built with AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows tree (the programs
# as they are shipped, the package and their tests, cross-built with MinGW-w64) under Wine and Xvfb,
# one at a time: they share a Wine prefix.
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_setup_windows
corvane_setup_gui
corvane_setup_tests
corvane_build "$corvane_root/build/test" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
ctest --test-dir "$corvane_root/build/test" --output-on-failure -j "$(nproc)"

"$corvane_root/tools/build_windows.sh" "$corvane_root/build/windows" -DCORVANE_TESTS=ON \
    -DCORVANE_SIM="$corvane_root/build/test/sim/corvane-sim" -DCORVANE_NATIVE_CLI="$corvane_root/build/test/src/corvane"
corvane_wine_env "$corvane_root/build/windows"
xvfb-run -a -s "-screen 0 1600x1200x24" ctest --test-dir "$corvane_root/build/windows" --output-on-failure
wineserver -k 2>/dev/null || true
