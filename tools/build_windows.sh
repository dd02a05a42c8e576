#!/usr/bin/env bash
# Builds Corvane for Windows (64-bit) with Debian's MinGW-w64 and packages it, on a Debian 12 machine
# (what is missing is installed with apt-get). Leaves in DIR/dist: Corvane.exe (the GUI),
# corvane-cli.exe (the command line, named so because Windows cannot tell corvane.exe from
# Corvane.exe), corvane-sim.exe (the instrument simulator), Corvane-<version>-x64.msi and the portable
# Corvane-<version>-win64.zip (docs/windows_package.md).
# Usage: tools/build_windows.sh [DIR] [CMake options...]   (DIR default build/windows)
# SQLite, expat and libzip are built from Debian's source packages once and kept in DIR/deps.
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")/.." && pwd)
source "$corvane_root/tools/setup.sh"
source "$corvane_root/tools/windows_deps.sh"

dir=$(realpath -m "${1:-$corvane_root/build/windows}")
[ $# -gt 0 ] && shift

corvane_setup
corvane_setup_windows
corvane_windows_deps "$dir/deps"
cmake -S "$corvane_root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$corvane_root/cmake/mingw-w64-x86_64.cmake" \
    -DCORVANE_WINDOWS_DEPS="$dir/deps/prefix" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
cmake --build "$dir" --target dist
ls -1 "$dir/dist"
