#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the native tree (core, CLI, simulator)
# built with AddressSanitizer and UndefinedBehaviorSanitizer, then the GUI tree, built with Wine's
# compiler without sanitizers, under Wine and Xvfb (one at a time: they share a Wine prefix).
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_setup_gui
corvane_setup_tests
corvane_build "$corvane_root/build/test" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
ctest --test-dir "$corvane_root/build/test" --output-on-failure -j "$(nproc)"

corvane_build_gui "$corvane_root/build/gui" -DCMAKE_BUILD_TYPE=Debug \
    -DCORVANE_SIM="$corvane_root/build/test/sim/corvane-sim"
corvane_wine_env "$corvane_root/build/gui"
xvfb-run -a -s "-screen 0 1600x1200x24" ctest --test-dir "$corvane_root/build/gui" --output-on-failure
wineserver -k 2>/dev/null || true
