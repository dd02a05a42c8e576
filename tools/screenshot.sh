#!/usr/bin/env bash
# Starts the GUI in a Wine virtual desktop under Xvfb, with the simulated instrument listening on the
# instrument's LAN port, and saves a screenshot.
# Usage: tools/screenshot.sh OUT.png [--connect] [--database] [--impedance] [--view V] [--sweep]
#                              [--perform-sweep] [--realtime] [program arguments...]
#   --connect        connects first (Configure > Connection... > Connect, answering the questions); the
#                    Connect keys are preset to LAN 127.0.0.1
#   --database       shows the database mode (presses DATABASE)
#   --impedance      shows the impedance (LCR) pane instead of the SFRA pane
#   --view V         presses the pane's REALTIME, GRAPH or TABLE button (V: realtime, graph, table)
#   --sweep          runs an unsaved sweep of 200 steps first (needs --connect)
#   --perform-sweep  shows the Perform Sweep dialog
#   --realtime       runs the realtime readout for a few seconds (needs --connect; implies --view realtime)
#   --settings       shows the instrument settings strip above the pane (needs --connect)
#   --browser-view N shows view N (0-4) of the data browser (implies --database)
#   --context-menu   opens the data browser list's context menu on its first row (implies --database)
#   --page P         shows settings page P (acqu, sweep, trim, out, ch1, ch2, sys, mode; implies --settings)
#   --capture        shows the screen-capture mode (Capture menu)
#   --download D     downloads the instrument's screen, D mono or colour (needs --connect; implies --capture)
# Environment: CORVANE_GUI_BUILD (a Windows tree, default build/windows), CORVANE_SIM (default build/test/sim/corvane-sim
# or build/release/sim/corvane-sim), CORVANE_DB (a database to open, default: the program's default).
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")/.." && pwd)
source "$corvane_root/tools/setup.sh"
out=$(realpath -m "$1")
shift
connect=0
database=0
impedance=0
view=""
sweep=0
perform=0
realtime=0
settings=0
browser_view=""
context_menu=0
page=""
capture=0
download=""
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --connect) connect=1 ;;
        --database) database=1 ;;
        --impedance) impedance=1 ;;
        --view) view=$2; shift ;;
        --sweep) sweep=1 ;;
        --perform-sweep) perform=1 ;;
        --realtime) realtime=1; view=realtime ;;
        --settings) settings=1 ;;
        --browser-view) browser_view=$2; database=1; shift ;;
        --context-menu) context_menu=1; database=1 ;;
        --page) page=$2; settings=1; shift ;;
        --capture) capture=1 ;;
        --download) download=$2; capture=1; shift ;;
        *) args+=("$1") ;;
    esac
    shift
done
gui_build=${CORVANE_GUI_BUILD:-$corvane_root/build/windows}
simulator=${CORVANE_SIM:-}
for candidate in "$corvane_root/build/test/sim/corvane-sim" "$corvane_root/build/release/sim/corvane-sim"; do
    [ -z "$simulator" ] && [ -x "$candidate" ] && simulator=$candidate
done
[ -x "$simulator" ] || { echo "no corvane-sim built" >&2; exit 1; }
# A prefix of its own, with the settings of a first run, so that tests and earlier runs change
# nothing in the picture.
export WINEPREFIX="$gui_build/screenshot-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Veltrona"
"$corvane_root/tools/preset_gui_settings.sh" "$WINEPREFIX" "${CORVANE_DB:-}"

display=:$((90 + RANDOM % 100))
work=$(mktemp -d)
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb_pid=$!
"$simulator" --port 10001 --fast >"$work/sim.txt" 2>&1 &
sim_pid=$!
cleanup() {
    DISPLAY=$display wineserver -k 2>/dev/null || true
    kill "$sim_pid" "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1
(cd "$work" && wine explorer /desktop=corvane,1280x900 "$gui_build/src/gui/Corvane.exe" ${args[@]+"${args[@]}"} \
    >/dev/null 2>&1 &)

# Waits until a window whose name matches $1 shows, at most $2 seconds.
wait_for() {
    for _ in $(seq $(($2 * 10))); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window \"$1\" appeared" >&2
    return 1
}
wait_for "^Corvane v1_5" 60
sleep 2
if [ "$connect" = 1 ]; then
    xdotool key alt+c c        # Configure > Connection...
    wait_for "^Connect$" 20
    sleep 1
    xdotool key Return         # Connect
    wait_for "^Test Connection$" 20 || { import -window root "${out%.png}-failed.png"; exit 1; }
    sleep 0.5
    xdotool key Return         # "The connection was successful"
    for _ in 1 2 3; do         # "Add to Database", a calibration warning: the default answers
        sleep 1.5
        xdotool search --name "^(Add to Database|Calibration Due)$" >/dev/null 2>&1 && xdotool key Return
    done
    wait_for "LAN,QMX74" 30
    sleep 1
fi
# The main window sits at the desktop's top left: DATABASE is at (214, 60) on the screen, and the
# pane's REALTIME, GRAPH, TABLE and START/SWEEP buttons at (62, 117), (157, 117), (247, 117) and
# (374, 117) while the settings strip is hidden.
press_view() {
    case "$1" in
        realtime) xdotool mousemove 62 117 click 1 ;;
        graph) xdotool mousemove 157 117 click 1 ;;
        table) xdotool mousemove 247 117 click 1 ;;
    esac
    sleep 0.5
}
if [ "$impedance" = 1 ]; then
    xdotool key alt+i          # the "Impedance" menu command
    sleep 1
fi
if [ "$sweep" = 1 ]; then
    press_view graph
    xdotool mousemove 374 117 click 1
    wait_for "^Perform Sweep$" 20
    sleep 0.5
    # Steps, start, end, minimum cycles, speed, then "Save Sweep to Database", unticked; then the
    # default button, "Confirm and Sweep".
    xdotool type --delay 50 "200"
    xdotool key Tab Tab Tab Tab Tab space Return
    wait_for "^Sweep Data$" 20
    for _ in $(seq 600); do    # the unsaved sweep closes its dialog when the last point is in
        xdotool search --name "^Sweep Data$" >/dev/null 2>&1 || break
        sleep 0.1
    done
    sleep 1
fi
[ -n "$view" ] && press_view "$view"
if [ "$realtime" = 1 ]; then
    xdotool mousemove 374 117 click 1
    sleep 3
fi
if [ "$perform" = 1 ]; then
    xdotool mousemove 374 117 click 1
    wait_for "^Perform Sweep$" 20
    sleep 1
fi
if [ "$settings" = 1 ]; then
    xdotool mousemove 776 60 click 1   # SHOW SETTINGS
    sleep 1
    # The page buttons: three columns at x 57, 138, 220; rows at y 103, 140, 179, 218.
    case "$page" in
        sweep) xdotool mousemove 138 103 click 1 ;;
        trim) xdotool mousemove 220 103 click 1 ;;
        out) xdotool mousemove 57 179 click 1 ;;
        ch1) xdotool mousemove 138 179 click 1 ;;
        ch2) xdotool mousemove 220 179 click 1 ;;
        sys) xdotool mousemove 57 218 click 1 ;;
        mode) xdotool mousemove 138 218 click 1 ;;
    esac
    sleep 0.5
fi
if [ "$capture" = 1 ]; then
    xdotool key alt+a          # the "Capture" menu command
    sleep 1
    # The capture pane's "Black and White Download" and "Colour Download" buttons.
    case "$download" in
        mono) xdotool mousemove 93 360 click 1 ;;
        colour) xdotool mousemove 93 390 click 1 ;;
    esac
    if [ -n "$download" ]; then
        wait_for "^(Download|Downloading Screenshot...|[0-9]+% complete)$" 20 || true
        sleep 0.5
        import -window root "${out%.png}-progress.png"
        for _ in $(seq 600); do
            xdotool search --name "^(Download|Downloading Screenshot...|[0-9]+% complete)$" >/dev/null 2>&1 || break
            sleep 0.1
        done
        sleep 1
    fi
fi
if [ "$database" = 1 ]; then
    xdotool mousemove 214 60 click 1
    # The browser's view selector is at (170, 175) on the screen, its list's first row at (100, 221).
    if [ -n "$browser_view" ]; then
        sleep 0.5
        xdotool mousemove 170 175 click 1
        sleep 0.5
        xdotool key Home
        for _ in $(seq "$browser_view"); do xdotool key Down; done
        xdotool key Return
    fi
    if [ "$context_menu" = 1 ]; then
        sleep 0.5
        xdotool mousemove 100 221 click 1
        sleep 0.3
        xdotool click 3
    fi
elif [ "$sweep$perform$realtime$settings$capture" = 00000 ] && [ -z "$view" ]; then
    xdotool mousemove 600 300 click 1
fi
sleep 1
import -window root "$out"
echo "$out"
