#!/usr/bin/env bash
# Runs a command inside a desktop session of its own: Xvfb on a free display, the openbox window
# manager and the trayer XEmbed tray host. Everything started here is stopped when the command
# ends, fails or the script is interrupted. Exit code: the command's.
#
#   tests/desktop/session.sh [--size WxHxD] [--no-tray] [--no-wm] -- command [args...]
#
# The command sees DISPLAY, QT_QPA_PLATFORM=xcb and no session bus (so Qt docks its tray icon into
# trayer through XEmbed), and TARVOLO_SESSION_LOG, a folder with the logs of the session's parts.
set -uo pipefail

size=1280x1024x24
tray=1
wm=1
while [ $# -gt 0 ]; do
    case "$1" in
    --size) size=$2; shift 2 ;;
    --no-tray) tray=0; shift ;;
    --no-wm) wm=0; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxHxD] [--no-tray] [--no-wm] -- command [args...]" >&2; exit 64; }

for tool in Xvfb xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "session.sh: $tool is missing (scripts/deps installs it)" >&2; exit 77; }
done
[ $wm -eq 0 ] || command -v openbox >/dev/null || { echo "session.sh: openbox is missing" >&2; exit 77; }
[ $tray -eq 0 ] || command -v trayer >/dev/null || { echo "session.sh: trayer is missing" >&2; exit 77; }

logs=$(mktemp -d "${TMPDIR:-/tmp}/tarvolo-session.XXXXXX")
pids=()

stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        # Give each part a moment to go, then make sure it has.
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "${pids[i]}" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    pids=()
    [ -n "${TARVOLO_KEEP_SESSION_LOGS:-}" ] || rm -rf "$logs"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to $1 tenths of a second for the command in the other arguments to succeed.
wait_for() {
    local tenths=$1; shift
    for ((n = 0; n < tenths; n++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb picks a free display itself and writes its number, ended by a line feed, to the descriptor
# given. Servers of other sessions may race for the same number; a server that lost ends, and the
# next attempt picks another.
display=
for attempt in 1 2 3; do
    : >"$logs/display"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$logs/display" >"$logs/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 1 150); do
        if grep -q '^[0-9][0-9]*$' "$logs/display" 2>/dev/null && [ "$(tail -c1 "$logs/display" | od -An -c | tr -d ' ')" = '\n' ]; then
            display=$(head -1 "$logs/display")
            break
        fi
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$display" ]; then
        pids+=("$xvfb")
        break
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
done
if [ -z "$display" ]; then
    echo "session.sh: Xvfb did not start:" >&2; cat "$logs/xvfb.log" >&2; exit 70
fi
export DISPLAY=":$display"
wait_for 50 xdpyinfo || { echo "session.sh: display $DISPLAY does not answer" >&2; exit 70; }

unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_CURRENT_DESKTOP
unset QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=xcb
export TARVOLO_SESSION_LOG=$logs

if [ $wm -eq 1 ]; then
    openbox --sm-disable >"$logs/openbox.log" 2>&1 &
    pids+=($!)
    # openbox announces itself on the root window once it manages the screen.
    wait_for 50 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
        || { echo "session.sh: openbox did not start" >&2; cat "$logs/openbox.log" >&2; exit 70; }
fi
if [ $tray -eq 1 ]; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        --SetDockType true --SetPartialStrut true --transparent false --tint 0xd6d6d6 \
        >"$logs/trayer.log" 2>&1 &
    pids+=($!)
    wait_for 50 xdotool search --classname trayer \
        || { echo "session.sh: trayer did not start" >&2; cat "$logs/trayer.log" >&2; exit 70; }
fi

"$@"
rc=$?
exit $rc
