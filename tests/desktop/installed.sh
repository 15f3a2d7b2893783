#!/usr/bin/env bash
# cmake --install into a temporary folder (DESTDIR): the executable, Samples with its database, the
# help page, the launcher (and the icon once the program has one) land where they belong; the
# installed program starts from there. Its Samples folder is read-only, so choosing it on the
# welcome dialog copies it once into the user's data folder and opens the copy.
#   installed.sh BUILD-FOLDER
set -euo pipefail
build=${1:?build folder}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
dest=$(mktemp -d "${TMPDIR:-/tmp}/tarvolo-install.XXXXXX")
trap 'chmod -R u+w "$dest" 2>/dev/null; rm -rf "$dest"' EXIT
chmod 755 "$dest"
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /opt/tarvolo >"$dest.log" 2>&1 ||
    { cat "$dest.log" >&2; rm -f "$dest.log"; fail "cmake --install failed"; }
rm -f "$dest.log"
prefix=$dest/opt/tarvolo
for f in bin/tarvolo share/tarvolo/Samples/SAMPLE.db share/tarvolo/Samples/tvl.cfg \
    share/tarvolo/Samples/1/query.sql share/tarvolo/help/index.html \
    share/applications/tarvolo.desktop; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/tarvolo" ] || fail "the installed program is not executable"
if [ -f "$source_dir/resources/tvl_edit.ini" ]; then
    [ -f "$prefix/share/tarvolo/tvl_edit.ini" ] || fail "tvl_edit.ini not installed"
fi
if [ -f "$source_dir/src/bar/resources/tarvolo.svg" ] || [ -f "$source_dir/resources/icons/tarvolo.svg" ]; then
    [ -f "$prefix/share/icons/hicolor/scalable/apps/tarvolo.svg" ] || fail "the icon is not installed"
fi
launcher=$prefix/share/applications/tarvolo.desktop
grep -qx "Exec=/opt/tarvolo/bin/tarvolo" "$launcher" || fail "launcher runs $(grep Exec= "$launcher")"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$launcher" || fail "invalid launcher"; fi

version=$(env -u DISPLAY "$prefix/bin/tarvolo" --version)
[ "$version" = "Tarvolo v 1.5" ] || fail "the installed program printed \"$version\""
echo "-- installed into $prefix; --version: $version"

# An installed Samples folder is not the user's to write into.
chmod -R a-w "$prefix/share/tarvolo/Samples"
export TARVOLO_EXE=$prefix/bin/tarvolo
. "$(dirname "$0")/lib.sh"

# Root writes through any permission, so as root the program runs as the unprivileged "nobody".
as=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "setpriv missing"; exit 77; }
    chown -R 65534:65534 "$SANDBOX"
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
"${as[@]}" "$TARVOLO_EXE" >"$SANDBOX/tarvolo.installed.log" 2>&1 &
first=$!
started+=("$first")
welcome=$(wait_window "Welcome to Tarvolo")
keys_to "$welcome" Return
wait_window "$BAR_TITLE" >/dev/null
"${as[@]}" "$TARVOLO_EXE" Close
wait_exit "$first" 10
[ "$EXIT_RC" -eq 0 ] || fail "the installed program ended with $EXIT_RC"

copy="$XDG_DATA_HOME/Morvell Software/Tarvolo/Samples"
expect_conf ScriptFolders Folder0 "$copy/"
[ -f "$copy/SAMPLE.db" ] && [ -f "$copy/1/query.sql" ] || fail "the copy of Samples is incomplete"
[ -w "$copy/SAMPLE.db" ] || [ "$(id -u)" -eq 0 ] || fail "the copied database is read-only"
[ "$(stat -c %u "$copy/SAMPLE.db")" = "$(stat -c %u "$XDG_DATA_HOME")" ] || fail "the copy belongs to someone else"
entry="$XDG_CONFIG_HOME/autostart/tarvolo.desktop"
grep -qx "Exec=$TARVOLO_EXE /hide" "$entry" || fail "autostart runs $(grep Exec= "$entry")"
note "installed: read-only Samples copied to $copy and used"
