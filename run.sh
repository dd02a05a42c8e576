#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Corvane and runs it: the start-up sequence, which settles
# the settings files and the default database (run/default.db), then a look at that database.
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_build "$corvane_root/build/release" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF
corvane="$corvane_root/build/release/src/corvane"

mkdir -p "$corvane_root/run"
cd "$corvane_root/run"
"$corvane" startup | tee startup.txt
database=$(sed -n 's/^databaseFile: //p' startup.txt)
"$corvane" db info "$database"
