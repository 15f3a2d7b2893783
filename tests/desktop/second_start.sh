#!/usr/bin/env bash
# A "/hide" start shows nothing; a second plain start hands over to the running instance, which
# shows its window, and ends at once without a window of its own.
. "$(dirname "$0")/lib.sh"

printf '[Options]\nShowWelcomeDlg=1\n' | seed_conf
start_tarvolo /hide
first=$LAST_PID
sleep 2
kill -0 "$first" || fail "the hidden start ended"
window_shown "Welcome to Tarvolo" && fail "a hidden start showed the welcome dialog"
window_shown "$BAR_TITLE" && fail "a hidden start showed its window"
ls "$XDG_RUNTIME_DIR" | grep -q "^TARVOLO$(id -u)\\.lock\$" || fail "no lock file in the runtime folder"

run_tarvolo
[ "$RUN_RC" -eq 0 ] || fail "the second start ended with $RUN_RC"
main=$(wait_window "$BAR_TITLE" 5)
shot second-start-shows-window "$main"
kill -0 "$first" || fail "the first instance ended"
[ "$(xdotool search --onlyvisible --name "^$BAR_TITLE\$" | wc -l)" -eq 1 ] || fail "more than one window"

# A start while the window is shown changes nothing either.
run_tarvolo
[ "$RUN_RC" -eq 0 ] || fail "the third start ended with $RUN_RC"
awk -v s="$RUN_SECONDS" 'BEGIN { exit !(s < 5) }' || fail "the third start took ${RUN_SECONDS}s"

run_tarvolo Close
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the program ended with $EXIT_RC"
note "second start: hidden start shown by a later start"
