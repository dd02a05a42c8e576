#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Corvane and runs its main job on the simulated
# instrument (tools/demo.sh), leaving the database, exported files and graphs in run/. On a machine
# with a display it then starts the GUI on that database, with the simulated instrument listening
# on the LAN port and the connection preset to 127.0.0.1 (Configure > Connection... > Connect).
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")" && pwd)
source "$corvane_root/tools/setup.sh"

corvane_setup
corvane_build "$corvane_root/build/release" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF
"$corvane_root/tools/demo.sh" "$corvane_root/build/release" "$corvane_root/run"

if [ -n "${DISPLAY:-}" ]; then
    corvane_build_gui "$corvane_root/build/gui-release" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF
    corvane_wine_env "$corvane_root/build/gui-release"
    "$corvane_root/tools/preset_gui_settings.sh" "$WINEPREFIX" "$corvane_root/run/demo.db"
    "$corvane_root/build/release/sim/corvane-sim" --port 10001 >"$corvane_root/run/gui-simulator.txt" 2>&1 &
    sim_pid=$!
    trap 'kill $sim_pid 2>/dev/null || true' EXIT
    echo "Starting the GUI (the simulated instrument listens on 127.0.0.1:10001)"
    (cd "$corvane_root/run" && wine "$corvane_root/build/gui-release/src/gui/Corvane.exe.so") ||
        echo "The GUI ended with an error (exit code $?)" >&2
fi
