#!/usr/bin/env bash
# "Open Existing SQL Script Folder": a cancelled folder browser leaves the welcome dialog open; a
# folder typed into the browser becomes the current script folder.
. "$(dirname "$0")/lib.sh"

mine="$SANDBOX/My Scripts"
mkdir -p "$mine"
start_tarvolo
first=$LAST_PID
welcome=$(wait_window "Welcome to Tarvolo")
keys_to "$welcome" Down Return
browser=$(wait_window "Select a Script Folder")
sleep 0.3
shot welcome-folder-browser "$browser"
keys_to "$browser" Escape
wait_window_gone "Select a Script Folder"
sleep 0.5
window_shown "Welcome to Tarvolo" || fail "the welcome dialog closed with the cancelled browser"
window_shown "$BAR_TITLE" && fail "the bar opened although the browser was cancelled"

keys_to "$welcome" Return
browser=$(wait_window "Select a Script Folder")
keys_to "$browser" ctrl+a
xdotool type --delay 20 "$mine"
sleep 0.5
keys_to "$browser" Return
wait_window_gone "Select a Script Folder"
wait_window "$BAR_TITLE" >/dev/null
run_tarvolo Close
wait_exit "$first" 10

expect_conf ScriptFolders Folder0 "$mine/"
expect_conf Options LastChooseWelcome 1
note "welcome: existing folder chosen, cancel kept the dialog"
