#!/usr/bin/env bash
# Writes a PNG of the screen, or of one window with its frame, to the screenshot folder:
#   tests/desktop/screenshot.sh NAME [WINDOW-ID]
# The folder is $TARVOLO_SCREENSHOTS, else build/screenshots of the source tree. Prints the path.
set -euo pipefail
name=$1
window=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
folder=${TARVOLO_SCREENSHOTS:-$here/../../build/screenshots}
mkdir -p "$folder"
out="$folder/$name.png"
if [ -n "$window" ]; then
    # The frame the window manager drew around the window belongs in the picture.
    import -silent -frame -window "$window" "$out" 2>/dev/null ||
        xwd -silent -frame -id "$window" | convert xwd:- "$out"
else
    import -silent -window root "$out" 2>/dev/null || xwd -silent -root | convert xwd:- "$out"
fi
echo "$out"
