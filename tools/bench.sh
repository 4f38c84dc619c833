#!/bin/sh
# Installs what is missing, builds Flinder and its benchmarks (Release, no sanitizers)
# and runs every benchmark; figures are ratios to references measured in the same run.
# Exits non-zero when a target is missed.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $TEST_PACKAGES
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/bench --target bench_draw bench_present bench_startup bench_idle bare_app \
    flinder_startup_probe flinder_idle_probe test_soak_rounds bench_settings
B=build/bench/bench

# A private X server for the figures that need a real one.
display=""
for n in $(seq 91 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
sleep 1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

status=0
echo "== 1. Drawing"
QT_QPA_PLATFORM=offscreen "$B/bench_draw" || status=1
echo "== 2. Frame to screen"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$B/bench_present" || status=1
echo "== 2b. Frame to screen on a screen scaled by 150 % (pictures scaled sharp bilinear)"
DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1.5 "$B/bench_present" || status=1
echo "== 3. Start-up and memory"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$B/bench_startup" "$B/flinder_startup_probe" "$B/bare_app" 31 || status=1
echo "== 4. Idle cost"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$B/bench_idle" "$B/flinder_idle_probe" 30 || status=1
echo "== 5. Whole rounds in virtual time (the randomized soak driver, no sanitizers)"
line=$(FLINDER_SOAK_ROUNDS=2500 QT_QPA_PLATFORM=offscreen build/bench/tests/test_soak_rounds 2>&1 |
    grep 'rounds (' || true)
rounds=$(echo "$line" | sed -n 's/.*: \([0-9]*\) rounds (.*/\1/p')
seconds=$(echo "$line" | sed -n 's/.*, \([0-9.]*\) s$/\1/p')
if [ -n "$rounds" ] && [ -n "$seconds" ]; then
    echo "  $rounds rounds in $seconds s: $(echo "$rounds $seconds" | awk '{printf "%.0f", $1 / $2}') rounds per second (reported only)"
else
    echo "  the soak driver did not report"; status=1
fi
echo "== 6. A hostile settings file (50 MB of sections): memory and time"
"$B/bench_settings" build/bench || status=1
echo
if [ $status -eq 0 ]; then echo "BENCHMARKS: PASS"; else echo "BENCHMARKS: FAIL"; fi
exit $status
