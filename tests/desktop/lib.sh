# Helpers for the end-to-end tests of the real executable, sourced inside session.sh. Each test
# runs in a sandbox of its own: HOME, the XDG folders and the runtime folder (where the single
# instance's lock and socket lie) are fresh temporary folders, removed at the end with every
# program the test started.
set -euo pipefail

TARVOLO_EXE=${TARVOLO_EXE:?TARVOLO_EXE names the executable under test}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

SANDBOX=$(mktemp -d "${TMPDIR:-/tmp}/tarvolo-e2e.XXXXXX")
chmod 755 "$SANDBOX"
export HOME=$SANDBOX/home XDG_CONFIG_HOME=$SANDBOX/config XDG_DATA_HOME=$SANDBOX/data
export XDG_CACHE_HOME=$SANDBOX/cache XDG_RUNTIME_DIR=$SANDBOX/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
CONF="$XDG_CONFIG_HOME/Morvell Software/Tarvolo.conf"
started=()
runs=0

e2e_cleanup() {
    local pid
    for pid in "${started[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$SANDBOX"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$SANDBOX"/tarvolo.*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
    exit 1
}

note() { echo "-- $*"; }

# Starts the program in the background with the arguments; its pid is in $LAST_PID.
start_tarvolo() {
    # The pointer rests in a corner, so that it hovers no button and the bar keeps its own title.
    xdotool mousemove 1270 1015 >/dev/null 2>&1 || true
    runs=$((runs + 1))
    "$TARVOLO_EXE" "$@" >"$SANDBOX/tarvolo.$runs.log" 2>&1 &
    LAST_PID=$!
    started+=("$LAST_PID")
}

# Runs the program in the foreground with a time limit; sets $RUN_RC and $RUN_SECONDS.
run_tarvolo() {
    runs=$((runs + 1))
    local t0 t1
    t0=$(date +%s.%N)
    set +e
    timeout 20 "$TARVOLO_EXE" "$@" >"$SANDBOX/tarvolo.$runs.log" 2>&1
    RUN_RC=$?
    set -e
    t1=$(date +%s.%N)
    RUN_SECONDS=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
}

# The bar's title while no element is current.
BAR_TITLE="Tarvolo v 1.5"

# Opens the About command from the bar's context menu (a right click on its first button).
open_about() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    xdotool mousemove --window "$1" 20 12 click 3
    sleep 0.4
    xdotool key --clearmodifiers a
    xdotool mousemove 1270 1015
}

# The id of the visible window titled exactly $1, waiting up to $2 seconds (10); fails otherwise.
wait_window() {
    local title=$1 limit=${2:-10} id n
    for ((n = 0; n < limit * 10; n++)); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    fail "no window \"$title\" within ${limit}s"
}

# True when a visible window titled exactly $1 exists.
window_shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true)" ]; }

# Waits up to $2 seconds (10) until no visible window is titled $1.
wait_window_gone() {
    local n
    for ((n = 0; n < ${2:-10} * 10; n++)); do
        window_shown "$1" || return 0
        sleep 0.1
    done
    fail "window \"$1\" still shown after ${2:-10}s"
}

# Waits up to $2 seconds for process $1 to end; its exit code is in $EXIT_RC.
wait_exit() {
    local pid=$1 limit=${2:-10} n
    for ((n = 0; n < limit * 10; n++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            set +e
            wait "$pid"
            EXIT_RC=$?
            set -e
            return 0
        fi
        sleep 0.1
    done
    fail "process $pid still runs after ${limit}s"
}

# Gives window $1 the focus and sends it the keys that follow.
keys_to() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id"
    sleep 0.2
    xdotool key --clearmodifiers --delay 60 "$@"
}

shot() { "$here/screenshot.sh" "$@" >/dev/null; }

# The value of KEY in SECTION of the settings file ("General" is the root).
conf_get() {
    [ -f "$CONF" ] || { echo ""; return; }
    awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$CONF"
}

expect_conf() {
    local got
    got=$(conf_get "$1" "$2")
    [ "$got" = "$3" ] || fail "[$1] $2 is \"$got\", expected \"$3\""
}

# Writes the settings file the program starts with.
seed_conf() {
    mkdir -p "$(dirname "$CONF")"
    cat >"$CONF"
}

# The folder of the executable, ending in '/'.
exe_folder() { echo "$(cd "$(dirname "$TARVOLO_EXE")" && pwd)/"; }
