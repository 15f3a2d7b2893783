#!/usr/bin/env bash
# Without a display the program says in one line that it needs a graphical desktop and ends with a
# non-zero code; --version still works.
set -euo pipefail
exe=${TARVOLO_EXE:?}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check_refusal() {
    local what=$1
    shift
    set +e
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$tmp" XDG_CONFIG_HOME="$tmp/config" \
        XDG_RUNTIME_DIR="$tmp" "$@" "$exe" >"$tmp/out" 2>"$tmp/err"
    local rc=$?
    set -e
    [ "$rc" -ne 0 ] || fail "$what: exit code 0"
    [ "$rc" -lt 128 ] || fail "$what: ended by a signal ($rc)"
    [ ! -s "$tmp/out" ] || fail "$what: wrote to stdout: $(cat "$tmp/out")"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "$what: stderr is not one line: $(cat "$tmp/err")"
    grep -q "needs a graphical desktop" "$tmp/err" || fail "$what: $(cat "$tmp/err")"
    [ ! -e "$tmp/config/Morvell Software/Tarvolo.conf" ] || fail "$what: settings written"
    echo "-- $what: $(cat "$tmp/err")"
}

check_refusal "no DISPLAY" env -u DISPLAY
# A display that nobody serves: Qt's platform plugin fails to start.
check_refusal "dead display" env DISPLAY=:4711

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" --version)
[ "$out" = "Tarvolo v 1.5" ] || fail "--version printed \"$out\""
