#!/usr/bin/env bash
# As a user: the right-click menu copies the report (clipboard and selection) as moravel-report
# prints it, hidden with the switch on; Ctrl+C in a field still copies the field; Save report
# through the file chooser gives the JSON or the text form by the name; Save snapshot gives a
# file that replays the hidden report; a folder without write permission gets a message box
# and no file.
set -u
source "$(dirname "$0")/x_session.sh"
command -v xclip >/dev/null || { echo "SKIP: no xclip"; exit 77; }
REPORT="$MORAVEL_BUILD_DIR/moravel-report"
export MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"

# Root writes anywhere; the program then runs as nobody, so a read-only folder stays one.
chmod 755 "$WORK_DIR"
mkdir -p "$WORK_DIR/out" "$WORK_DIR/locked" "$WORK_DIR/home/.local/share"
as_user=(env HOME="$WORK_DIR/home")  # the file chooser keeps its recent files there
if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$WORK_DIR/out" "$WORK_DIR/locked" "$WORK_DIR/home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_user[@]}")
fi
chmod 555 "$WORK_DIR/locked"
"$REPORT" > "$WORK_DIR/plain.txt"
"$REPORT" --json > "$WORK_DIR/plain.json"
"$REPORT" --redact > "$WORK_DIR/hidden.txt"

start_display 1280x900x24
"${as_user[@]}" "$MORAVEL_BIN" > "$WORK_DIR/stdout" 2> "$WORK_DIR/stderr" &
APP_PID=$!
main=$(find_window '^Moravel by Tobrin') || fail "no main window"

key() { xdotool key --clearmodifiers "$@" 2>/dev/null; sleep 0.4; }
# Right click at the window's (300, 300), then the menu's item number $1 by keyboard.
menu_item() {
    xdotool mousemove --window "$main" 300 300 click 3 2>/dev/null
    sleep 0.5
    local i
    for i in $(seq "$1"); do key Down; done
    key Return
}
clipboard() { xclip -o -selection "$1" 2>/dev/null; }
# Types a full path into the file chooser titled $1 and confirms it.
choose_file() {
    local dialog
    dialog=$(find_window "^$1\$") || fail "no '$1' dialog"
    sleep 0.5
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    key ctrl+a
    xdotool type --delay 5 "$2" 2>/dev/null
    key Return
    sleep 1
}
same() { cmp -s "$1" "$2" || fail "$3: $(diff "$1" "$2" | head -5)"; }

xdotool mousemove --window "$main" 300 300 click 3 2>/dev/null
sleep 0.5
import -window root "$WORK_DIR/menu.png"
key Escape
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK_DIR/menu.png" "$MORAVEL_SHOTS/share-menu.png"

menu_item 1
clipboard clipboard > "$WORK_DIR/clip.txt"
clipboard primary > "$WORK_DIR/primary.txt"
same "$WORK_DIR/plain.txt" "$WORK_DIR/clip.txt" "Copy report: the clipboard differs from moravel-report"
same "$WORK_DIR/plain.txt" "$WORK_DIR/primary.txt" "Copy report: the selection differs from moravel-report"
echo "ok: Copy report equals moravel-report ($(wc -l < "$WORK_DIR/clip.txt") lines) in clipboard and selection"

key ctrl+s
choose_file 'Save report' "$WORK_DIR/out/report.json"
same "$WORK_DIR/plain.json" "$WORK_DIR/out/report.json" "Save report to .json"
menu_item 2
choose_file 'Save report' "$WORK_DIR/out/report.txt"
same "$WORK_DIR/plain.txt" "$WORK_DIR/out/report.txt" "Save report to .txt"
echo "ok: Save report wrote report.json as moravel-report --json and report.txt as moravel-report"

menu_item 4
key ctrl+shift+c
clipboard clipboard > "$WORK_DIR/clip-hidden.txt"
same "$WORK_DIR/hidden.txt" "$WORK_DIR/clip-hidden.txt" "Ctrl+Shift+C with the switch on differs from --redact"
echo "ok: with the switch on, Ctrl+Shift+C copies what moravel-report --redact prints"

menu_item 3
choose_file 'Save snapshot' "$WORK_DIR/out/hidden-snapshot.json"
"$REPORT" --snapshot "$WORK_DIR/out/hidden-snapshot.json" > "$WORK_DIR/replayed.txt" 2>&1
same "$WORK_DIR/hidden.txt" "$WORK_DIR/replayed.txt" "the hidden snapshot does not replay the hidden report"
! grep -q 'DESK-7\|M80-3A012300543\|BC:5F:F4' "$WORK_DIR/out/hidden-snapshot.json" || fail "the hidden snapshot holds identifying values"
echo "ok: Save snapshot with the switch on replays as the hidden report"

# Ctrl+C in a field copies that field's selection, not the report.
xdotool mousemove --window "$main" 200 45 click 1 2>/dev/null
key ctrl+a
key ctrl+c
[ "$(clipboard clipboard)" = "DESK-7  ( Owner Name: Ana Souza )" ] ||
    fail "Ctrl+C in the Computer Name field copied '$(clipboard clipboard | head -c 80)'"
echo "ok: Ctrl+C in a field copies its text"

key ctrl+s
choose_file 'Save report' "$WORK_DIR/locked/report.txt"
alert=$(find_window '^Not saved$') || fail "no message box for a folder without write permission"
import -window root "$WORK_DIR/alert.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK_DIR/alert.png" "$MORAVEL_SHOTS/share-not-saved.png"
key Return
[ -z "$(ls -A "$WORK_DIR/locked")" ] || fail "files left in the locked folder: $(ls -A "$WORK_DIR/locked")"
echo "ok: saving into a locked folder shows 'Not saved' and leaves no file"
