#!/usr/bin/env bash
# "Close" ends the running instance through its normal exit: the settings file shows what it saved
# (clamped options, the version stamp renewed, the old window layout gone, the folders kept).
# Without a running instance, Close ends at once, shows nothing and writes nothing.
. "$(dirname "$0")/lib.sh"

run_tarvolo Close
[ "$RUN_RC" -eq 0 ] || fail "Close without an instance ended with $RUN_RC"
awk -v s="$RUN_SECONDS" 'BEGIN { exit !(s < 2) }' || fail "Close without an instance took ${RUN_SECONDS}s"
[ -e "$CONF" ] && fail "Close without an instance wrote the settings"

scripts="$SANDBOX/Scripts"
mkdir -p "$scripts"
seed_conf <<CONF
[General]
AppNameVer=Tarvolo v 1.4

[Options]
ShowWelcomeDlg=0
GridHeight=5
DBMSOutputBufferSize=20000000

[ScriptFolders]
Folder0=$scripts/

[Workspace]
Layout=1
CONF
start_tarvolo
first=$LAST_PID
wait_window "$BAR_TITLE" >/dev/null
expect_conf General AppNameVer "Tarvolo v 1.5" # renewed at start-up
run_tarvolo Close
[ "$RUN_RC" -eq 0 ] || fail "Close ended with $RUN_RC"
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the running instance ended with $EXIT_RC"
wait_window_gone "$BAR_TITLE" 2

expect_conf Options GridHeight 10
expect_conf Options DBMSOutputBufferSize 10000000
expect_conf ScriptFolders Folder0 "$scripts/"
grep -q '^\[Workspace\]' "$CONF" && fail "the old window layout is still stored"
[ "$(stat -c %a "$CONF")" = 600 ] || fail "the settings file is not private to the user"

entry="$XDG_CONFIG_HOME/autostart/tarvolo.desktop"
[ -f "$entry" ] || fail "no autostart entry"
grep -qx "Exec=$TARVOLO_EXE /hide" "$entry" || fail "autostart runs $(grep Exec= "$entry")"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" || fail "invalid autostart entry"; fi
note "close: the running instance saved and ended"

# Close while the welcome dialog is open ends the program without carrying out a choice; the
# options are saved all the same.
rm -f "$CONF"
start_tarvolo
first=$LAST_PID
wait_window "Welcome to Tarvolo" >/dev/null
run_tarvolo Close
[ "$RUN_RC" -eq 0 ] || fail "Close under the welcome dialog ended with $RUN_RC"
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the program under the welcome dialog ended with $EXIT_RC"
window_shown "$BAR_TITLE" && fail "a main window opened after Close"
expect_conf Options ShowWelcomeDlg 1
expect_conf ScriptFolders Folder0 ""
note "close: the welcome dialog ended without a choice, options saved"
