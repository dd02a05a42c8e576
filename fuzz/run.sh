#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build/fuzz and runs each for N seconds (default 60) on a copy of its seed corpus, so the corpus in
# fuzz/corpus stays as checked in. Fails when any target reports a crash, a leak, a hang of more than
# 10 seconds or a sanitizer finding; the input that did it is left in build/fuzz/runs/<target>/.
# Usage: fuzz/run.sh [--seconds N] [target...]   (the targets are listed in build/fuzz/fuzz/targets.txt)
set -euo pipefail
corvane_root=$(cd "$(dirname "$0")/.." && pwd)
source "$corvane_root/tools/setup.sh"

seconds=60
targets=()
while [ $# -gt 0 ]; do
    case $1 in
        --seconds) seconds=$2; shift 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done

corvane_setup
corvane_setup_fuzz
build="$corvane_root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$corvane_root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON \
    -DCORVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target corvane_fuzz -j "$(nproc)"
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <"$build/fuzz/targets.txt"

# The readers that take a path write each input to a file: memory is quicker than a disk.
[ -w /dev/shm ] && export TMPDIR=/dev/shm

failed=()
for target in "${targets[@]}"; do
    work="$build/runs/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    [ -d "$corvane_root/fuzz/corpus/$target" ] && cp "$corvane_root/fuzz/corpus/$target"/* "$work/corpus/"
    # A target whose input is markup has a dictionary of it, fuzz/<target>.dict.
    dictionary=()
    [ -f "$corvane_root/fuzz/$target.dict" ] && dictionary=(-dict="$corvane_root/fuzz/$target.dict")
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=65536 -print_final_stats=1 \
        ${dictionary[@]+"${dictionary[@]}"} -artifact_prefix="$work/" "$work/corpus" >"$work/log.txt" 2>&1 || status=$?
    done_line=$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work/log.txt" || echo "no Done line")
    if [ "$status" -eq 0 ]; then
        echo "$target: $done_line"
    else
        echo "$target: FAILED (exit code $status), see $work/log.txt; $done_line"
        grep -m 3 -E 'ERROR|SUMMARY|broken promise|runtime error' "$work/log.txt" | sed 's/^/    /' || true
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed: ${failed[*]}"
    exit 1
fi
