#!/usr/bin/env bash
# As a user on a machine that reports Windows 8 (6.2): the "Information" box comes first, the
# inventory is built only after its button is pressed, and no progress window appears at all.
set -u
source "$(dirname "$0")/x_session.sh"
command -v xdotool >/dev/null || { echo "SKIP: no xdotool"; exit 77; }

cat > "$WORK_DIR/windows8.json" <<'JSON'
{
  "classes": {
    "Win32_ComputerSystem": [{"SystemType": "x64-based PC", "Domain": "WORKGROUP"}],
    "Win32_VideoController": [{"Name": "Intel(R) HD Graphics 4000", "AdapterRAM": 2147483648,
                               "AdapterDACType": "Internal"}]
  },
  "osVersion": {"major": 6, "minor": 2}
}
JSON

# Ids of every window, mapped or not, whose title matches.
windows_named() { xdotool search --name "$1" 2>/dev/null; }

start_display
MORAVEL_SNAPSHOT="$WORK_DIR/windows8.json" start_program
box=$(find_window '^Information$') || fail "the Information box did not appear"
expect_version_line
[ "$(cat "$WORK_DIR/stdout")" = $'6\t2' ] || fail "stdout before the box: '$(cat "$WORK_DIR/stdout")'"
[ -z "$(windows_named 'Moravel by Tobrin')" ] || fail "the main window exists before the box is dismissed"
[ -z "$(windows_named 'Retrieving system information')" ] || fail "a progress window exists beside the box"
echo "ok: the Information box comes first, alone"

# Watch, as often as xdotool can look, for a progress window until the main window is up; the
# build is short, so this only adds to the checks before and after it.
( while [ ! -e "$WORK_DIR/stop" ]; do windows_named 'Retrieving system information' >> "$WORK_DIR/seen"; done ) &
WATCH_PID=$!

xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
main=$(find_window '^Moravel by Tobrin \(v1\.0\.4\)$') || fail "no main window after the box was dismissed"
touch "$WORK_DIR/stop"; wait "$WATCH_PID"
[ -z "$(windows_named '^Information$')" ] || fail "the Information box is still there"
[ ! -s "$WORK_DIR/seen" ] || fail "a progress window appeared in notice mode"
[ -z "$(windows_named 'Retrieving system information')" ] || fail "a progress window exists beside the main window"
[ "$(cat "$WORK_DIR/stdout")" = $'6\t2' ] || fail "stdout after the build: '$(cat "$WORK_DIR/stdout")'"
echo "ok: after the button the main window ($main) appears and no progress window ever did"
