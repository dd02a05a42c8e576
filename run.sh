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

# The GUI comes after the main job has succeeded: a GUI that cannot be set up, built or started is
# reported and leaves the job's result as it is. Wine is installed only when there is a display.
sim_pid=""
trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true' EXIT
run_gui() {
    local gui_build="$corvane_root/build/windows"
    corvane_setup_gui || return 1
    "$corvane_root/tools/build_windows.sh" "$gui_build" >/dev/null || return 1
    corvane_wine_env "$gui_build"
    "$corvane_root/tools/preset_gui_settings.sh" "$WINEPREFIX" "$corvane_root/run/demo.db" || return 1
    "$corvane_root/build/release/sim/corvane-sim" --port 10001 >"$corvane_root/run/gui-simulator.txt" 2>&1 &
    sim_pid=$!
    echo "Starting the GUI (the simulated instrument listens on 127.0.0.1:10001)"
    (cd "$corvane_root/run" && wine "$gui_build/src/gui/Corvane.exe")
}
if [ -n "${DISPLAY:-}" ]; then
    run_gui || echo "The GUI could not be set up or ended with an error (exit code $?); the main job's" \
        "results are in $corvane_root/run" >&2
else
    echo "No display: the GUI is not started (the main job's results are in $corvane_root/run)"
fi
