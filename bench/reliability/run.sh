#!/usr/bin/env bash
# Reliability figures: the fuzz targets for 10^6 executions each (scripts/fuzz.sh), the soak
# benchmark beside them and the hot-plug benchmark after them, both of the release build, which
# this script configures and builds itself (`cmake --preset release`, through ccache where it is installed); BENCH_SOAK and
# BENCH_HOTPLUG name other binaries to run instead. The last line sums up:
#   fuzz_execs=N fuzz_crashes=C soak_exchanges=S soak_hangs=H soak_wrong=W soak_rss_growth_kb=R hotplug_cycles=K hotplug_failures=F
# A part that could not be built or ran without giving its figures shows "missing" in place of
# each of its figures, never 0. The exit status is 0 only when every part ran and passed.
# Usage: bench/reliability/run.sh [fuzz executions per target, default 1000000]
set -uo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-1000000}"
started=$(date +%s)
failed=()
# A benchmark still running in the background goes with the script.
trap 'kill $(jobs -p) 2>/dev/null' EXIT

# The value of key=N in a line of such pairs; "missing" when it is absent.
value() {
    local v
    v=$(printf '%s\n' "$2" | tr ' ' '\n' | sed -n "s/^$1=\(-\{0,1\}[0-9][0-9]*\)$/\1/p" | tail -1)
    echo "${v:-missing}"
}

# A benchmark runs in the background, its output kept in build/reliability/<name>.log: the
# binary named from outside, or else the release build's. start_bench sets the variable named
# by the last argument to its process id, empty when there is nothing to run.
start_bench() {
    local name="$1" binary="$2"
    printf -v "$4" '%s' ""
    if [ -n "$3" ]; then
        binary="$3"
    elif [ "$built" -ne 1 ]; then
        binary=""
    fi
    if [ -z "$binary" ] || [ ! -x "$binary" ]; then
        echo "$name: not built, no figures" >&2
        failed+=("$name")
        return
    fi
    "$binary" >"build/reliability/$name.log" 2>&1 &
    printf -v "$4" '%s' "$!"
}

# Waits for a benchmark started by start_bench, shows its output and sets the variable named by
# the last argument to its last line; a failed exit is added to the failures.
finish_bench() {
    local name="$1" pid="$2" log="build/reliability/$1.log" rc
    printf -v "$3" '%s' ""
    [ -n "$pid" ] || return
    wait "$pid"
    rc=$?
    cat "$log" >&2
    if [ "$rc" -ne 0 ]; then
        echo "$name: exit status $rc (log $log)" >&2
        failed+=("$name")
    fi
    printf -v "$3" '%s' "$(tail -1 "$log")"
}

if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
built=1
mkdir -p build/reliability
if ! { cmake --preset release >build/reliability/configure.log 2>&1 &&
    cmake --build --preset release --target bench_soak bench_hotplug >&2; }; then
    tail -20 build/reliability/configure.log >&2
    echo "the release build of the benchmarks failed" >&2
    built=0
fi

# The benchmarks run on real time and take little processor time: the soak (its 10000
# exchanges take about a quarter of an hour) runs beside the fuzz targets, the hot-plug cycles
# after them.
start_bench bench_soak build/release/bench/soak/bench_soak "${BENCH_SOAK:-}" soak_pid
fuzz_line=$(bash scripts/fuzz.sh "$runs" | tee /dev/stderr | tail -1)
[ $? -eq 0 ] || failed+=(fuzz)
start_bench bench_hotplug build/release/bench/hotplug/bench_hotplug "${BENCH_HOTPLUG:-}" hotplug_pid
finish_bench bench_hotplug "$hotplug_pid" hotplug_line
finish_bench bench_soak "$soak_pid" soak_line

echo "run.sh: $(($(date +%s) - started)) s; failed: ${failed[*]:-none}" >&2
echo "fuzz_execs=$(value fuzz_execs "$fuzz_line") fuzz_crashes=$(value fuzz_crashes "$fuzz_line")" \
    "soak_exchanges=$(value soak_exchanges "$soak_line") soak_hangs=$(value soak_hangs "$soak_line")" \
    "soak_wrong=$(value soak_wrong "$soak_line") soak_rss_growth_kb=$(value soak_rss_growth_kb "$soak_line")" \
    "hotplug_cycles=$(value hotplug_cycles "$hotplug_line") hotplug_failures=$(value hotplug_failures "$hotplug_line")"
[ "${#failed[@]}" -eq 0 ]
