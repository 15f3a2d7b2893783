#!/usr/bin/env bash
# Start-up to the bar shown: starts the real executable in a desktop session of its own (Xvfb,
# openbox, trayer) and measures the time from the start of the process to its main window mapped,
# for the Samples folder and for a generated folder of 500 elements; median of several runs.
#   bench/startup.sh [BUILD-FOLDER] [RUNS]     (defaults: build, 7)
# TARVOLO_BAR_TITLE names the window waited for ("Tarvolo v 1.5"). Prints one line per case and a last
# line "ratio: X" (500 elements against Samples).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-7}

if [ -z "${TARVOLO_SESSION_LOG:-}" ]; then
    exec "$root/tests/desktop/session.sh" -- "$0" "$build" "$runs"
fi

exe=$build/tarvolo
probe=$build/bench/bench_startup_probe
title=${TARVOLO_BAR_TITLE:-Tarvolo v 1.5}
[ -x "$exe" ] && [ -x "$probe" ] || { echo "build tarvolo and bench_startup_probe first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvolo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# 500 elements made from the first sample element, each with a name of its own.
big=$work/elements500
mkdir -p "$big"
for i in $(seq 1 500); do
    cp -r "$root/resources/Samples/1" "$big/$i"
    printf 'Element %d' "$i" >"$big/$i/name.txt"
done

# One start: fresh settings naming the folder, the time to the window, then Close.
measure() {
    local folder=$1 home=$work/home
    rm -rf "$home"
    mkdir -p "$home/config/Morvell Software" "$home/run"
    chmod 700 "$home/run"
    printf '[Options]\nShowWelcomeDlg=0\nStartWithStartUp=0\n\n[ScriptFolders]\nFolder0=%s/\n' \
        "$folder" >"$home/config/Morvell Software/Tarvolo.conf"
    local ms
    ms=$(HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
        XDG_RUNTIME_DIR=$home/run "$probe" "$title" 20000 "$exe") ||
        { echo "no window \"$title\" came" >&2; return 1; }
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run timeout 10 "$exe" Close
    # The measured instance is the probe's child; wait until its lock is gone.
    for _ in $(seq 1 100); do
        ls "$home/run" | grep -q '\.lock$' || break
        sleep 0.1
    done
    echo "$ms"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

report() {
    local name=$1 folder=$2 all=()
    measure "$folder" >/dev/null # warm the caches once
    for _ in $(seq 1 "$runs"); do all+=("$(measure "$folder")"); done
    local med
    med=$(printf '%s\n' "${all[@]}" | median)
    echo "$name: median ${med} ms to the window mapped (runs: ${all[*]})" >&2
    echo "$med"
}

samples=$(report "Samples ($(ls -d "$build/Samples"/*/ | wc -l) elements)" "$build/Samples")
elements=$(report "500 elements" "$big")
awk -v a="$elements" -v b="$samples" 'BEGIN { printf "ratio: %.2f\n", a / b }'
