#!/bin/sh
# The round's clock under fire, on the real window: starts the clock probe (a Release
# build's bench/flinder_clock_probe) on the X server in DISPLAY, which starts a round by
# itself, then sends keys with xdotool at a fixed gap between them, and prints what the
# probe reports: the real time since the round began, the time the landings themselves
# took (the timer paused), the timer's ticks, and the rate: LIMIT seconds used per
# second of real time less the landings. "stick" sends Z alone and lets every piece land
# as a down arrow that is taken out again (no blink, no fall); "storm" sends Z, Left and
# Right as a player would and the pieces do what they do.
# Usage: DISPLAY=:N sh tools/clock_under_fire.sh <probe> <level position 0..4> <gap ms>
#        <seconds> stick|storm
set -eu
probe=$1 level=$2 gap=$3 seconds=$4 mode=$5
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$probe" "$level" "$seconds" "$mode" >"$out" 2>/dev/null &
pid=$!
until grep -q '^ROUND' "$out"; do sleep 0.1; done
window=$(xdotool search --name '^Flinder$' | head -n 1)
xdotool windowfocus --sync "$window"
count=$((seconds * 1000 / gap))
if [ "$mode" = storm ]; then
    keys=$(awk -v n="$count" 'BEGIN { srand(7); for (i = 0; i < n; i++) {
        r = rand(); print (r < 0.5 ? "z" : r < 0.75 ? "Left" : "Right") } }')
else
    keys=$(awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) print "z" }')
fi
# shellcheck disable=SC2086
xdotool key --delay "$gap" $keys 2>/dev/null || true
wait "$pid" || true
cat "$out"
