#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Corvane with the sanitizers on, and runs every test.
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_build "$corvane_root/build/test" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
ctest --test-dir "$corvane_root/build/test" --output-on-failure -j "$(nproc)"
