#!/usr/bin/env bash
# As a user: the right-click menu copies the report (clipboard and selection) as moravel-report
# prints it, hidden with the switch on; Ctrl+C in a field still copies the field; Save report
# through the file chooser gives the JSON or the text form by the name; Save snapshot gives a
# file that replays the hidden report; a folder without write permission gets a message box
# and no file.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools xclip import
REPORT="$MORAVEL_BUILD_DIR/moravel-report"
export MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"

# Root writes anywhere; the program then runs as nobody, so a read-only folder stays one.
chmod 755 "$WORK"
mkdir -p "$WORK/out" "$WORK/locked" "$WORK/home/.local/share"
as_user=(env HOME="$WORK/home")  # the file chooser keeps its recent files there
if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$WORK/out" "$WORK/locked" "$WORK/home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_user[@]}")
fi
chmod 555 "$WORK/locked"
"$REPORT" > "$WORK/plain.txt"
"$REPORT" --json > "$WORK/plain.json"
"$REPORT" --redact > "$WORK/hidden.txt"

start_display 1280x900x24
"${as_user[@]}" "$MORAVEL_BIN" > "$WORK/stdout" 2> "$WORK/stderr" &
APP_PID=$!
MAIN=$(find_window '^Moravel by Tobrin') || fail "no main window"

clipboard() { xclip -o -selection "$1" 2>/dev/null; }
holds() { clipboard "$1" > "$WORK/held.txt"; cmp -s "$2" "$WORK/held.txt"; }
# Waits for the selection $1 to hold file $2's text; fails with message $3 and the difference.
expect_held() { wait_until 5 holds "$1" "$2" || fail "$3: $(diff "$2" "$WORK/held.txt" | head -5)"; }
# Waits for file $2 to equal file $1; fails with message $3 and the difference.
same() { wait_until 5 cmp -s "$1" "$2" || fail "$3: $(diff "$1" "$2" | head -5)"; }

open_menu
import -window root "$WORK/menu.png"
press Escape
wait_until 5 eval '! menu_shown' || fail "Escape did not close the menu"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/menu.png" "$MORAVEL_SHOTS/share-menu.png"

menu_item 1
expect_held clipboard "$WORK/plain.txt" "Copy report: the clipboard differs from moravel-report"
expect_held primary "$WORK/plain.txt" "Copy report: the selection differs from moravel-report"
echo "ok: Copy report equals moravel-report ($(wc -l < "$WORK/held.txt") lines) in clipboard and selection"

press ctrl+s
choose_file 'Save report' "$WORK/out/report.json"
same "$WORK/plain.json" "$WORK/out/report.json" "Save report to .json"
menu_item 2
choose_file 'Save report' "$WORK/out/report.txt"
same "$WORK/plain.txt" "$WORK/out/report.txt" "Save report to .txt"
press ctrl+s
choose_file 'Save report' "$WORK/out/plain"
same "$WORK/plain.txt" "$WORK/out/plain.txt" "Save report of a name without extension, as a text report"
echo "ok: Save report wrote report.json as moravel-report --json, report.txt and plain (as plain.txt,"
echo "    the chosen type's extension) as moravel-report"

menu_item 4
press ctrl+shift+c
expect_held clipboard "$WORK/hidden.txt" "Ctrl+Shift+C with the switch on differs from --redact"
echo "ok: with the switch on, Ctrl+Shift+C copies what moravel-report --redact prints"

menu_item 3
choose_file 'Save snapshot' "$WORK/out/hidden-snapshot.json"
wait_until 5 test -s "$WORK/out/hidden-snapshot.json" || fail "Save snapshot wrote no file"
"$REPORT" --snapshot "$WORK/out/hidden-snapshot.json" > "$WORK/replayed.txt" 2>&1
same "$WORK/hidden.txt" "$WORK/replayed.txt" "the hidden snapshot does not replay the hidden report"
! grep -q 'DESK-7\|M80-3A012300543\|BC:5F:F4' "$WORK/out/hidden-snapshot.json" || fail "the hidden snapshot holds identifying values"
echo "ok: Save snapshot with the switch on replays as the hidden report"

# Ctrl+C in a field copies that field's selection, not the report. With the switch on the
# fields show the hidden forms (a screenshot or a printout shows what the report hides); off,
# the real values come back.
copy_field() {
    click_widget "$MAIN" main "Computer Name:"
    press ctrl+a
    press ctrl+c
    printf '%s' "$1" > "$WORK/field.txt"
    expect_held clipboard "$WORK/field.txt" "$2"
}
copy_field "(hidden)  ( Owner Name: (hidden) )" "Ctrl+C in the Computer Name field with the switch on"
import -window "$MAIN" "$WORK/hidden.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/hidden.png" "$MORAVEL_SHOTS/share-hidden.png"
menu_item 4
copy_field "DESK-7  ( Owner Name: Ana Souza )" "Ctrl+C in the Computer Name field with the switch off"
echo "ok: Ctrl+C in a field copies its text, hidden while the switch is on"

press ctrl+s
choose_file 'Save report' "$WORK/locked/report.txt"
alert=$(find_window '^Not saved$') || fail "no message box for a folder without write permission"
import -window root "$WORK/alert.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/alert.png" "$MORAVEL_SHOTS/share-not-saved.png"
press Return
wait_gone '^Not saved$' 5 || fail "the message box stayed open"
[ -z "$(ls -A "$WORK/locked")" ] || fail "files left in the locked folder: $(ls -A "$WORK/locked")"
echo "ok: saving into a locked folder shows 'Not saved' and leaves no file"
