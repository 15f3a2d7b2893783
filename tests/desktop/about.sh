#!/usr/bin/env bash
# The About command opens "About Tarvolo" with the version on its picture; OK closes it and the
# program goes on.
. "$(dirname "$0")/lib.sh"

printf '[Options]\nShowWelcomeDlg=0\n' | seed_conf
start_tarvolo
first=$LAST_PID
main=$(wait_window "$BAR_TITLE")
open_about "$main"
about=$(wait_window "About Tarvolo")
sleep 0.3
shot about-dialog "$about"
keys_to "$about" Return
wait_window_gone "About Tarvolo"
xdotool search --onlyvisible --name "^$BAR_TITLE\$" >/dev/null || fail "the main window went with the about dialog"
kill -0 "$first" || fail "the program ended with the about dialog"

# Close while the about dialog is open waits for it, then ends the program.
open_about "$main"
about=$(wait_window "About Tarvolo")
run_tarvolo Close
[ "$RUN_RC" -eq 0 ] || fail "Close ended with $RUN_RC"
sleep 0.5
kill -0 "$first" || fail "the program ended under its open about dialog"
keys_to "$about" Return
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the program ended with $EXIT_RC"
note "about: shown, closed, and a Close waited for it"
