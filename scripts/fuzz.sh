#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in build/fuzz, and runs each for the given number of executions (default 2000, a few seconds
# each), starting from its seed corpus in fuzz/corpus/<target>. Inputs that find new paths go to
# build/fuzz/corpus/<target>, never into the repository; a crashing input is kept as
# build/fuzz/artifacts/<target>-crash-*. The last line sums up: fuzz_execs=N fuzz_crashes=C.
# Exits non-zero when any target crashed.
set -uo pipefail
cd "$(dirname "$0")/.."
runs="${1:-2000}"
targets=(fuzz_answer fuzz_profile_file fuzz_parmrk_parser fuzz_text_encoding)
build=build/fuzz

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVR410_FUZZ=ON -DVR410_BUILD_TESTS=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target "${targets[@]}" || exit 1

# A small quarantine: freed blocks are used again sooner, so a long run stays small in memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=4}"
mkdir -p "$build/artifacts"
execs=0
crashes=0
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    log="$build/$t.log"
    # The first folder takes new inputs; the seeds are only read.
    "$build/fuzz/$t" -runs="$runs" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1
    rc=$?
    done_runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)
    execs=$((execs + ${done_runs:-0}))
    if [ "$rc" -ne 0 ]; then
        crashes=$((crashes + 1))
        echo "$t: FAILED after ${done_runs:-?} executions (log $log)"
        grep -m5 -E 'ERROR|violated|SUMMARY' "$log"
    else
        echo "$t: ${done_runs:-?} executions, no crash"
    fi
done
echo "fuzz_execs=$execs fuzz_crashes=$crashes"
[ "$crashes" -eq 0 ]
