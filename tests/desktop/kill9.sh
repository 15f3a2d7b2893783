#!/usr/bin/env bash
# A killed instance leaves a lock and a socket file behind; the next start sees the dead owner and
# runs at once.
. "$(dirname "$0")/lib.sh"

printf '[Options]\nShowWelcomeDlg=0\n' | seed_conf
start_tarvolo
first=$LAST_PID
wait_window "$BAR_TITLE" >/dev/null
kill -9 "$first"
wait_exit "$first" 5
ls "$XDG_RUNTIME_DIR" | grep -q "^TARVOLO$(id -u)" || fail "the killed instance left nothing to test with"

t0=$(date +%s.%N)
start_tarvolo
second=$LAST_PID
wait_window "$BAR_TITLE" 5 >/dev/null
t1=$(date +%s.%N)
note "the start after kill -9 showed its window in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')s"
kill -0 "$second" || fail "the start after kill -9 ended"
run_tarvolo Close
wait_exit "$second" 10
[ "$EXIT_RC" -eq 0 ] || fail "the new instance ended with $EXIT_RC"
note "kill -9: no stale lock"
