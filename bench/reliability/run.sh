#!/usr/bin/env bash
# Reliability figures: the fuzz targets for 10^6 executions each (scripts/fuzz.sh), then the
# soak and hot-plug benchmarks when their binaries have been built (build/release is preferred,
# then build/debug; BENCH_SOAK and BENCH_HOTPLUG name other binaries). A benchmark that is not
# built counts 0. The last line sums up:
#   fuzz_execs=N fuzz_crashes=C soak_exchanges=S soak_hangs=H soak_wrong=W soak_rss_growth_kb=R hotplug_cycles=K hotplug_failures=F
# Usage: bench/reliability/run.sh [fuzz executions per target, default 1000000]
set -uo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-1000000}"

# The value of key=N in a line of such pairs; 0 when it is absent.
value() {
    local v
    v=$(printf '%s\n' "$2" | tr ' ' '\n' | sed -n "s/^$1=\([0-9-]*\)$/\1/p" | tail -1)
    echo "${v:-0}"
}

# The binary of a benchmark: the variable's path, or the first one built.
find_bench() {
    local override="$1" name="$2" dir
    if [ -n "$override" ]; then
        echo "$override"
        return
    fi
    for dir in build/release build/debug; do
        if [ -x "$dir/bench/${name#bench_}/$name" ]; then
            echo "$dir/bench/${name#bench_}/$name"
            return
        fi
    done
    find build -path build/fuzz -prune -o -type f -name "$name" -perm -u+x -print 2>/dev/null | head -1
}

fuzz_line=$(bash scripts/fuzz.sh "$runs" | tee /dev/stderr | tail -1)

soak_line=""
soak=$(find_bench "${BENCH_SOAK:-}" bench_soak)
if [ -n "$soak" ] && [ -x "$soak" ]; then
    soak_line=$("$soak" | tee /dev/stderr | tail -1)
else
    echo "bench_soak is not built: its figures count 0" >&2
fi

hotplug_line=""
hotplug=$(find_bench "${BENCH_HOTPLUG:-}" bench_hotplug)
if [ -n "$hotplug" ] && [ -x "$hotplug" ]; then
    hotplug_line=$("$hotplug" | tee /dev/stderr | tail -1)
else
    echo "bench_hotplug is not built: its figures count 0" >&2
fi

echo "fuzz_execs=$(value fuzz_execs "$fuzz_line") fuzz_crashes=$(value fuzz_crashes "$fuzz_line")" \
    "soak_exchanges=$(value soak_exchanges "$soak_line") soak_hangs=$(value soak_hangs "$soak_line")" \
    "soak_wrong=$(value soak_wrong "$soak_line") soak_rss_growth_kb=$(value soak_rss_growth_kb "$soak_line")" \
    "hotplug_cycles=$(value hotplug_cycles "$hotplug_line") hotplug_failures=$(value hotplug_failures "$hotplug_line")"
