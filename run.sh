#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Corvane and runs its main job on the simulated
# instrument (tools/demo.sh), leaving the database, exported files and graphs in run/.
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_build "$corvane_root/build/release" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF
"$corvane_root/tools/demo.sh" "$corvane_root/build/release" "$corvane_root/run"
