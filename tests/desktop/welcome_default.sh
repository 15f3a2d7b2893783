#!/usr/bin/env bash
# "Continue with Default SQL Script Folder" with "Show at Startup" cleared, left with Esc: the bar
# opens on the default folder under Documents, the choice and the cleared box are saved, and the
# next start shows no welcome dialog.
. "$(dirname "$0")/lib.sh"

start_tarvolo
first=$LAST_PID
welcome=$(wait_window "Welcome to Tarvolo")
# Down twice moves the selection to the third choice; Tab reaches "Show at Startup".
keys_to "$welcome" Down Down Tab space
sleep 0.2
shot welcome-default-chosen "$welcome"
keys_to "$welcome" Escape
wait_window_gone "Welcome to Tarvolo"
wait_window "$BAR_TITLE" >/dev/null
run_tarvolo Close
wait_exit "$first" 10

expect_conf Options LastChooseWelcome 2
expect_conf Options ShowWelcomeDlg 0
expect_conf ScriptFolders Folder0 "$HOME/Documents/Tarvolo Scripts/"
[ -d "$HOME/Documents/Tarvolo Scripts" ] || fail "the default script folder was not made"

start_tarvolo
second=$LAST_PID
wait_window "$BAR_TITLE" >/dev/null
window_shown "Welcome to Tarvolo" && fail "the welcome dialog came although it was switched off"
run_tarvolo Close
wait_exit "$second" 10
note "welcome: default folder, Esc and Show at Startup"
