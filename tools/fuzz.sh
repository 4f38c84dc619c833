#!/bin/sh
# Builds the fuzz targets (tests/fuzz, clang and libFuzzer, in build/fuzz) and runs each
# for the given number of seconds on a scratch copy of its seed corpus, so the committed
# corpus never grows by itself. Prints each target's execution count; exits non-zero
# when a target fails (a crash, a broken property, a hang or too much memory), leaving
# the input that did it in build/fuzz/artifacts/.
# The test command only replays the seed corpus (the fuzz_*_corpus tests); this finds
# new inputs, and is a command of its own so that a new finding never hides the tests.
# Usage: sh tools/fuzz.sh [seconds-per-target] [target...]
#   sh tools/fuzz.sh 10      every target for 10 seconds
#   sh tools/fuzz.sh 600 fuzz_bitmap
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"fuzz_profile fuzz_result_text fuzz_bitmap"}
case $seconds in
'' | *[!0-9]*)
    echo "usage: sh tools/fuzz.sh [seconds-per-target] [target...]" >&2
    exit 2
    ;;
esac

. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $FUZZ_PACKAGES
cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
# shellcheck disable=SC2086
cmake --build build/fuzz -j 2 --target $targets

# A smaller quarantine than the default 256 MB keeps long runs under the memory limit.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:quarantine_size_mb=64"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build/fuzz/artifacts
status=0
for target in $targets; do
    corpus=tests/fuzz/corpus/$target
    scratch=build/fuzz/run/$target
    log=build/fuzz/run/$target.log
    rm -rf "$scratch"
    mkdir -p "$scratch"
    cp "$corpus"/* "$scratch"/
    if nice -n 10 "build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "$scratch" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: ${runs:-?} executions in $seconds s, no failure"
    else
        status=1
        echo "$target: FAILED (log: $log)"
        grep -E "ERROR|property failed|SUMMARY|Test unit written" "$log" || tail -n 30 "$log"
    fi
done
exit $status
