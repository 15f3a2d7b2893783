#!/usr/bin/env bash
# A first start shows the welcome dialog with the sample folder preselected; Continue at once makes
# the Samples folder next to the executable the current script folder, and Close ends the program
# through its exit, which saves that choice.
. "$(dirname "$0")/lib.sh"

start_tarvolo
first=$LAST_PID
welcome=$(wait_window "Welcome to Tarvolo")
sleep 0.3
shot welcome-dialog "$welcome"
keys_to "$welcome" Return
wait_window_gone "Welcome to Tarvolo"
wait_window "$BAR_TITLE" >/dev/null

run_tarvolo Close
[ "$RUN_RC" -eq 0 ] || fail "Close ended with $RUN_RC"
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the running instance ended with $EXIT_RC"

expect_conf General AppNameVer "Tarvolo v 1.5"
expect_conf ScriptFolders Folder0 "$(exe_folder)Samples/"
expect_conf Options LastChooseWelcome 0
expect_conf Options ShowWelcomeDlg 1
note "welcome: sample folder chosen and saved"
