#!/usr/bin/env bash
# The main job on the simulated instrument: a new database for a three-phase transformer, the
# instrument registered, a fingerprint sweep of the healthy winding, a repeat test and a test of a
# deformed winding, both diagnosed against the fingerprint, the deformed one assessed, exported as
# IEC XML and CSV, imported into a second database, graphed as SVG, and the test report as PDF.
# Usage: tools/demo.sh BUILD_DIR OUT_DIR [corvane-sim options, e.g. --fast]
set -euo pipefail
build=$1
out=$2
shift 2
sim_options=("$@")
corvane="$build/src/corvane"
simulator="$build/sim/corvane-sim"

rm -rf "$out"
mkdir -p "$out/export"
db="$out/demo.db"
sim_pid=""

stop_simulator() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=""
    fi
}
trap stop_simulator EXIT

# Starts the simulator with a winding profile on a free port and sets $link.
start_simulator() {
    stop_simulator
    # Emptied here rather than by the new simulator's redirection, which happens in the child when it
    # gets to run: until then the loop below would read the last simulator's port.
    : >"$out/simulator.txt"
    "$simulator" --port 0 --profile "$1" ${sim_options[@]+"${sim_options[@]}"} >"$out/simulator.txt" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        port=$(sed -n 's/^listening on 127.0.0.1://p' "$out/simulator.txt")
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { echo "the simulator did not start" >&2; exit 1; }
    link="127.0.0.1:$port"
}

# Sweeps the winding and stores it; prints the new sweep's id.
sweep() {
    "$corvane" sweep fra --lan "$link" --steps 1000 --start 20 --end 2M --speed Medium --save --db "$db" \
        --name "$1" --transformer TX-DEMO --setup 1 --equipment "$equipment" --peak 10 --temp 21 \
        --comments "$2" >"$out/$3.txt" 2>"$out/$3.log"
    sed -n 's/^stored: //p' "$out/$3.txt"
}

verdict() { "$corvane" diagnose --db "$db" "$fingerprint" "$1" | tee "$out/$2-diagnosis.txt" | sed -n 's/^verdict: //p'; }

echo "Creating $db for a three-phase star-delta transformer"
"$corvane" db new "$db" --type 0 --transformer TX-DEMO --manufacturer "Demo Transformer Works" \
    --serial SN-2026-0147 >/dev/null

start_simulator healthy
equipment=$("$corvane" instrument register --lan "$link" --db "$db" --yes 2>/dev/null | sed -n 's/^equipment: //p')
echo "Instrument registered as equipment $equipment"

echo "Sweeping the healthy winding (fingerprint)"
fingerprint=$(sweep "Fingerprint OPEN1" "Commissioning test, healthy winding" fingerprint)
"$corvane" db add-transformer "$db" --mode 1 --identifier TX-DEMO --manufacturer "Demo Transformer Works" \
    --serial SN-2026-0147 --fingerprint "$fingerprint" >/dev/null

start_simulator repeat
echo "Sweeping the same winding again (repeat test)"
repeat=$(sweep "Repeat OPEN1" "Routine test, same winding" repeat)

start_simulator obvious
echo "Sweeping the winding after a through-fault (deformed)"
deformed=$(sweep "After fault OPEN1" "Test after a through-fault, winding displaced" deformed)
stop_simulator

repeat_verdict=$(verdict "$repeat" repeat)
deformed_verdict=$(verdict "$deformed" deformed)

"$corvane" export xml --db "$db" "$out/export" "$fingerprint" "$repeat" "$deformed" --yes >/dev/null
"$corvane" export csv --db "$db" "$out/export" "$fingerprint" "$repeat" "$deformed" --yes >/dev/null
"$corvane" db info "$out/reimported.db" >/dev/null
"$corvane" import --db "$out/reimported.db" "$out"/export/*.xml "$out"/export/*.csv >"$out/import.txt"
"$corvane" plot --db "$db" "$fingerprint" "$repeat" "$deformed" --out "$out/graph.svg"
"$corvane" plot --db "$db" --diagnose "$fingerprint" "$deformed" --out "$out/diagnosis.svg"
# The deformed winding assessed beyond the verdict, on the fixed bands and on five of the program's own.
bands=1000,10000,100000,600000,1000000,2000000
"$corvane" assess --db "$db" "$fingerprint" "$deformed" --bands "$bands" >"$out/assessment.txt"
"$corvane" assess --db "$db" "$fingerprint" "$deformed" --bands "$bands" --json >"$out/assessment.json"
# The test report of the three sweeps, assessed against the fingerprint.
"$corvane" report --db "$db" --out "$out/report.pdf" --reference "$fingerprint" --site "Demonstration substation" \
    "$fingerprint" "$repeat" "$deformed" >/dev/null

cat <<SUMMARY

Repeat test against the fingerprint:   $repeat_verdict
Deformed winding against the fingerprint: $deformed_verdict

Database:            $db
Exported files:      $out/export
Re-imported into:    $out/reimported.db ($(grep -c '^imported: ' "$out/import.txt") sweeps)
Graph:               $out/graph.svg
Diagnosis picture:   $out/diagnosis.svg
Assessment:          $out/assessment.txt (and .json)
Test report:         $out/report.pdf
SUMMARY
