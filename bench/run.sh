#!/usr/bin/env bash
# Does a ten-year database feel like a new one? Builds a Release tree with the benchmarks in
# build/bench, makes (once, kept in build/bench/data) a database of 5,000 FRA sweeps of 2,000 points
# (10 million rows in Data_FRA) and one of 10 such sweeps, times the everyday commands on both and
# prints each large time as a ratio to its small one against the target; then times storing a
# 2,000-point sweep into the large database against raw inserts (bench/store_bench), and runs
# bench/browser_bench, the fleet database's push of the large database and pull of 50 sweeps,
# bench/assessment_bench and bench/report_bench. Run by hand; CI does not run it.
# Usage: bench/run.sh [REPEATS]   (odd, at most 9; default 7: each time is the median of that many runs)
set -euo pipefail
export LC_ALL=C  # EPOCHREALTIME with a decimal point
corvane_root=$(cd "$(dirname "$0")/.." && pwd)
source "$corvane_root/tools/setup.sh"

repeats=${1:-7}
# Each repetition deletes another sweep of the small database, which has 10.
[[ $repeats =~ ^[13579]$ ]] || { echo "usage: bench/run.sh [REPEATS: 1, 3, 5, 7 or 9]" >&2; exit 2; }
build="$corvane_root/build/bench"
data="$build/data"
corvane="$build/src/corvane"
target=1.5        # a command on the large database against the same command on the small one
store_target=1.2  # storing a sweep against raw inserts of its points

corvane_setup
corvane_build "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=OFF
mkdir -p "$data"
work=$(mktemp -d "$build/run.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A winding's response as the instrument returns it, one FRA point a line (frequency, magnitudes 1
# and 2, amplitude in dB, phase in degrees, delay): 2,000 points from 20 Hz to 2 MHz, with the
# resonances that give the diagnosis and the phase crossings their work.
write_points() {
    awk 'BEGIN {
        n = 2000
        for (i = 0; i < n; i++) {
            f = 20 * 10 ^ (5 * i / (n - 1)); x = log(f) / log(10)
            a = -20 - 25 * x + 12 * sin(3.1 * x * x); p = 80 * cos(3.1 * x * x)
            printf "%.6g,1,%.6g,%.6g,%.6g,%.6g\n", f, 10 ^ (a / 20), a, p, p / (360 * f)
        }
    }' >"$1"
}

# make_database PATH SWEEPS TRANSFORMERS: a database made by the program with one real sweep, which
# SQL then copies into SWEEPS sweeps (spread over TRANSFORMERS transformers, the 12 default setups
# and ten years) with their points. Only rows are added: every table stays as the program made it.
make_database() {
    local path=$1 sweeps=$2 transformers=$3 partial="${1%.db}-partial.db"
    echo "Making $path ($sweeps sweeps of 2,000 points; once)"
    rm -f "$partial"
    "$corvane" db new "$partial" --type 0 --transformer TX-BENCH --manufacturer "Demo Transformer Works" \
        --serial SN-2016-0001 --yes >/dev/null
    "$corvane" db add-equipment "$partial" --mode 0 --manufacturer "Veltrona Ltd" --instrument QMX74 \
        --serial 410-2718 >/dev/null
    write_points "$work/points.csv"
    "$corvane" db add-sweep "$partial" --mode 0 --name "Fingerprint OPEN1" --transformer TX-BENCH --setup 1 \
        --equipment 1 --date 2016-03-01 --time 09:30 --peak 10 --temp 21 --type 1 --points "$work/points.csv" >/dev/null
    sqlite3 "$partial" >/dev/null <<SQL
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
BEGIN;
INSERT INTO Transformer (Transformer_Identifier, Manufacturer, Serial_Number)
  WITH RECURSIVE n(i) AS (SELECT 1 WHERE 1 < $transformers UNION ALL SELECT i + 1 FROM n WHERE i + 1 < $transformers)
  SELECT printf('TX-%03d', i), 'Demo Transformer Works', printf('SN-%05d', i * 37) FROM n;
INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Peak_Voltage, Temperature, Date, Time,
                   Phase_Convention, Comments, Data_Type)
  WITH RECURSIVE n(i) AS (SELECT 1 WHERE 1 < $sweeps UNION ALL SELECT i + 1 FROM n WHERE i + 1 < $sweeps)
  SELECT i % 12 + 1, Equipment_Id,
         CASE WHEN i % $transformers = 0 THEN Transformer_Identifier ELSE printf('TX-%03d', i % $transformers) END,
         printf('Tap %d OPEN%d', i % 17 + 1, i % 3 + 1), Peak_Voltage, Temperature,
         printf('%04d-%02d-%02d', 2016 + i * 10 / $sweeps, i % 12 + 1, i % 28 + 1),
         printf('%02d:%02d', 8 + i % 9, i % 60), Phase_Convention, 'Routine test', Data_Type
  FROM n, Sweep WHERE SweepId = 1;
INSERT INTO Data_FRA (Sweep_Id, Frequency, Magnitude1, Magnitude2, Amplitude, Phase, Delay)
  SELECT s.SweepId, d.Frequency, d.Magnitude1, d.Magnitude2 * (1 + s.SweepId % 7 * 0.001),
         d.Amplitude + s.SweepId % 7 * 0.01, d.Phase, d.Delay
  FROM Sweep s JOIN Data_FRA d ON d.Sweep_Id = 1 WHERE s.SweepId > 1 ORDER BY s.SweepId, d.Data_Id;
COMMIT;
SQL
    local rows
    rows=$(sqlite3 "$partial" "SELECT count(*) FROM Data_FRA")
    [ "$rows" -eq $((sweeps * 2000)) ] || { echo "$partial has $rows points, not $((sweeps * 2000))" >&2; exit 1; }
    mv "$partial" "$path"
}

declare -A db=([small]="$data/sweeps10.db" [large]="$data/sweeps5000.db")
declare -A sweeps=([small]=10 [large]=5000) transformers=([small]=1 [large]=50) copy=()
for size in small large; do
    [ -f "${db[$size]}" ] || make_database "${db[$size]}" "${sweeps[$size]}" "${transformers[$size]}"
    # Deleting and storing change a file: they work on a copy, made here outside the timed part.
    copy[$size]="$work/$size-copy.db"
    cp "${db[$size]}" "${copy[$size]}"
done

# The commands, run on the database of size SIZE in repetition REP. The deletion takes a different
# sweep each time, counting down from the last.
run_floor() { "$corvane" db next-id "${db[$1]}" Sweep; }
run_plot() { "$corvane" plot --db "${db[$1]}" 1 2 3 4 5 6 7 8 9 --out "$work/plot.svg"; }
run_diagnose() { "$corvane" diagnose --db "${db[$1]}" 1 2; }
run_export() { "$corvane" export csv --db "${db[$1]}" "$work" 2 --yes; }
run_crossings() { "$corvane" crossings --db "${db[$1]}" 2; }
run_delete() {
    "$corvane" db delete "${copy[$1]}" sweep --where "WHERE SweepId=$((sweeps[$1] - $2))" --yes 2>/dev/null |
        grep -q '^deleted: yes'
}

# elapsed_us COMMAND...: runs it, its output kept in $work/output.txt, and prints its wall time in
# microseconds; stops the script when it fails.
elapsed_us() {
    local start=${EPOCHREALTIME/./}
    "$@" >"$work/output.txt" 2>&1 || { echo "failed: $*" >&2; cat "$work/output.txt" >&2; exit 1; }
    echo $((${EPOCHREALTIME/./} - start))
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# measure ACTION: the median times of run_ACTION on the small and the large database, in
# median_us[ACTION-small] and median_us[ACTION-large]. Repetition 0 only brings the file into the
# page cache; the two sizes take turns so that a slower moment of the machine hits both.
declare -A median_us=()
measure() {
    local action=$1 size rep t
    local -A times=([small]="" [large]="")
    for rep in $(seq 0 "$repeats"); do
        for size in small large; do
            t=$(elapsed_us "run_$action" "$size" "$rep")
            [ "$rep" -eq 0 ] || times[$size]+=" $t"
        done
    done
    for size in small large; do
        # shellcheck disable=SC2086  # the times are words
        median_us[$action-$size]=$(median ${times[$size]})
    done
}

echo "Timing the commands on ${sweeps[small]} and ${sweeps[large]} sweeps (median of $repeats runs each)"
labels=("process start" "plot 9 sweeps" "diagnose 1 2" "export csv 2" "crossings 2" "delete 1 sweep")
actions=(floor plot diagnose export crossings delete)
for action in "${actions[@]}"; do measure "$action"; done

{
    for i in "${!actions[@]}"; do
        a=${actions[$i]}
        echo "${labels[$i]}|${median_us[$a-small]}|${median_us[$a-large]}|${median_us[floor-small]}|${median_us[floor-large]}"
    done
} | awk -F'|' -v target="$target" '
    function ms(us) { return us / 1000 }
    function ratio(large, small) { return small > 0 ? large / small : 0 }
    BEGIN {
        printf "\n%-16s %9s %9s %6s %7s %7s    %s\n", "", "", "", "", "", "", "without process start"
        printf "%-16s %9s %9s %6s %7s %7s    %9s %9s %6s\n", "action", "small ms", "large ms", "ratio", "target",
               "result", "small ms", "large ms", "ratio"
    }
    NR == 1 {
        printf "%-16s %9.1f %9.1f %6.2f    (corvane db next-id: start, open, one query)\n", $1, ms($2), ms($3),
               ratio($3, $2)
        next
    }
    {
        ps = $2 - $4; pl = $3 - $5
        if (ps < 0) ps = 0
        if (pl < 0) pl = 0
        r = ratio($3, $2)
        printf "%-16s %9.1f %9.1f %6.2f %6.1fx %7s    %9.1f %9.1f %6.2f\n", $1, ms($2), ms($3), r, target,
               r <= target ? "PASS" : "FAIL", ms(ps), ms(pl), ratio(pl, ps)
    }'

echo
echo "Storing a 2,000-point sweep into the large database (bench/store_bench; output in $build/store_bench.txt)"
# Three seconds each, so that the commits' waits for the disk average out.
"$build/bench/store_bench" "${copy[large]}" --benchmark_min_time=3 >"$build/store_bench.txt" 2>&1
sed -n '/^Storing/,$p' "$build/store_bench.txt"
awk -v target="$store_target" '/^  StoreSweep .* against / {
    printf "  target %.1fx: %s\n", target, $2 <= target ? "PASS" : "FAIL"; found = 1 }
    END { if (!found) { print "  no ratio: see the output" ; exit 1 } }' "$build/store_bench.txt"

echo
echo "The data browser (bench/browser_bench; output in $build/browser_bench.txt)"
"$build/bench/browser_bench" >"$build/browser_bench.txt" 2>&1
sed -n '/^Times with/,$p' "$build/browser_bench.txt"

# The fleet database, on a PostgreSQL server of the run's own (tools/fleet_test_server.sh, 127.0.0.1
# only): a push of the 5,000 sweeps to an empty server, and a pull of one transformer's 50 sweeps
# into a new file from a server that holds them.
echo
echo "The fleet database: a push of ${sweeps[large]} sweeps of 2,000 points, a pull of one transformer's 50"
corvane_setup_tests
[ -f "$data/sweeps50.db" ] || make_database "$data/sweeps50.db" 50 1
chmod 0755 "$work"  # the server's user reaches its folder through this one
fleet_server="$corvane_root/tools/fleet_test_server.sh"
server=$("$fleet_server" start "$work/fleet")
trap '"$fleet_server" stop "$work/fleet"; rm -rf "$work"' EXIT
"$corvane" fleet init --server "$server" >/dev/null
cp "${db[large]}" "$work/push.db"
push_us=$(elapsed_us "$corvane" fleet push --db "$work/push.db" --server "$server")
psql -X -q "$server" -c "SET client_min_messages TO warning" -c "DROP SCHEMA public CASCADE" -c "CREATE SCHEMA public" >/dev/null
"$corvane" fleet init --server "$server" >/dev/null
cp "$data/sweeps50.db" "$work/fifty.db"
"$corvane" fleet push --db "$work/fifty.db" --server "$server" >/dev/null 2>&1
pull_us=$(elapsed_us "$corvane" fleet pull --db "$work/pulled.db" --server "$server" --transformer TX-BENCH)
[ "$(sqlite3 "$work/pulled.db" "SELECT count(*) FROM Data_FRA")" -eq 100000 ] || { echo "the pull is short" >&2; exit 1; }
"$fleet_server" stop "$work/fleet"
trap 'rm -rf "$work"' EXIT
awk -v push="$push_us" -v pull="$pull_us" 'BEGIN {
    printf "  push of 5,000 sweeps %9.1f s   target: minutes (under 600 s): %s\n", push / 1e6, push < 600e6 ? "PASS" : "FAIL"
    printf "  pull of 50 sweeps    %9.2f s   target: seconds (under 10 s): %s\n", pull / 1e6, pull < 10e6 ? "PASS" : "FAIL"
}'

# The GUI's launch on a database of 20,000 sweeps (no points) against one of 30: from starting the
# program to its main window on the screen, in a Windows tree of its own (built once) under Xvfb.
# Wine's own start is paid before the timing by a wineserver that stays up.
echo
echo "Launching the GUI on 30 and 20,000 sweeps (median of $repeats runs each)"
gui_build="$build-windows"
corvane_setup_gui
"$corvane_root/tools/build_windows.sh" "$gui_build" >/dev/null
export WINEPREFIX="$gui_build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
declare -A gui_db=([small]="$data/browse30.db" [large]="$data/browse20000.db")
declare -A gui_sweeps=([small]=30 [large]=20000)
for size in small large; do
    [ -f "${gui_db[$size]}" ] && continue
    "$corvane" db new "$work/browse.db" --type 0 --transformer TX-BENCH --manufacturer "Demo Transformer Works" \
        --serial SN-2016-0001 --yes >/dev/null
    sqlite3 "$work/browse.db" "INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date,
        Time, Data_Type) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ${gui_sweeps[$size]})
        SELECT i % 12 + 1, 1, 'TX-BENCH', printf('Tap %d OPEN%d', i % 17 + 1, i % 3 + 1),
        printf('%04d-%02d-%02d', 2016 + i * 10 / ${gui_sweeps[$size]}, i % 12 + 1, i % 28 + 1), '10:00', 1 FROM n"
    mv "$work/browse.db" "${gui_db[$size]}"
done
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'DISPLAY=$display wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
"$corvane_root/tools/preset_gui_settings.sh" "$WINEPREFIX"
wineserver -w  # the server a first preset started, gone before one that stays starts
wineserver -p
# launch_us SIZE: the program started on that database, the microseconds until its main window shows.
launch_us() {
    "$corvane_root/tools/preset_gui_settings.sh" "$WINEPREFIX" "${gui_db[$1]}"
    local start=${EPOCHREALTIME/./}
    (cd "$work" && wine "$gui_build/src/gui/Corvane.exe" >/dev/null 2>&1 &)
    # Polled every 20 ms: xdotool's own --sync looks only twice a second.
    until xdotool search --onlyvisible --name "^Corvane v1_5" >/dev/null 2>&1; do sleep 0.02; done
    local shown=${EPOCHREALTIME/./}
    wine taskkill /f /im Corvane.exe >/dev/null 2>&1 || true
    while xdotool search --name "^Corvane v1_5" >/dev/null 2>&1; do sleep 0.1; done
    echo $((shown - start))
}
declare -A launches=([small]="" [large]="")
for rep in $(seq 0 "$repeats"); do
    for size in small large; do
        t=$(launch_us "$size")
        [ "$rep" -eq 0 ] || launches[$size]+=" $t"
    done
done
# shellcheck disable=SC2086  # the times are words
small_ms=$(median ${launches[small]}) large_ms=$(median ${launches[large]})
awk -v s="$small_ms" -v l="$large_ms" -v target="$target" 'BEGIN {
    r = l / s
    printf "  GUI launch        %8.0f ms %8.0f ms  ratio %.2f  target %.1fx: %s\n", s / 1000, l / 1000, r, target,
           r <= target ? "PASS" : "FAIL"
}'

echo "An assessment of two 2,000-point sweeps (bench/assessment_bench; output in $build/assessment_bench.txt)"
"$build/bench/assessment_bench" >"$build/assessment_bench.txt" 2>&1
grep -E '^Assess|^Target' "$build/assessment_bench.txt"

echo "The report of nine 2,000-point sweeps (bench/report_bench; output in $build/report_bench.txt)"
"$build/bench/report_bench" >"$build/report_bench.txt" 2>&1
grep -E '^NineSweepReport|^Target' "$build/report_bench.txt"
