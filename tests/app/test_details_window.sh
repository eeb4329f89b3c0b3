#!/usr/bin/env bash
# As a user: Details... (Ctrl+D) opens one window however often it is asked for; it lists every
# item of each fixture machine and of this machine, as moravel-report --details does (Copy all);
# the search finds a memory module by its serial number and Copy row gives that module; Escape
# clears the search, then closes the window; with the switch on it lists the hidden values.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools xclip import
REPORT="$MORAVEL_BUILD_DIR/moravel-report"
DATA="$MORAVEL_SOURCE_DIR/tests/data"
DETAILS_TITLE='^Moravel details$'

clipboard() { xclip -o -selection clipboard 2>/dev/null; }
holds() { clipboard > "$WORK/held.txt"; cmp -s "$1" "$WORK/held.txt"; }
expect_held() { wait_until 5 holds "$1" || fail "$2: $(diff "$1" "$WORK/held.txt" | head -5)"; }
shot() { import -window root "$WORK/$1.png"; [ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/$1.png" "$MORAVEL_SHOTS/$1.png"; }

# Starts the program on snapshot $1 (this machine when empty), past the notice box the
# Windows 8 to 10 snapshots bring; MAIN is the main window.
open_machine() {
    stop_program
    rm -f "$WORK/widgets"
    if [ -n "$1" ]; then MORAVEL_SNAPSHOT="$1" start_program; else env -u MORAVEL_SNAPSHOT "$MORAVEL_BIN" \
        > "$WORK/stdout" 2> "$WORK/stderr" & APP_PID=$!; fi
    local notice
    notice=$(find_window '^Information$' 5) && { xdotool windowfocus --sync "$notice" 2>/dev/null; press Return; }
    MAIN=$(find_window "$MAIN_TITLE" 60) || fail "no main window for '${1:-this machine}'"
}
# Ctrl+D on the main window; DETAILS is the Details window.
open_details() {
    xdotool windowfocus --sync "$MAIN" 2>/dev/null
    press ctrl+d
    DETAILS=$(find_window "$DETAILS_TITLE" 30) || fail "Ctrl+D opened no Details window"
    xdotool windowfocus --sync "$DETAILS" 2>/dev/null
}

start_display 1280x1024x24
for machine in desktop laptop win11-desktop win11-laptop secondhand workstation; do
    "$REPORT" --details --snapshot "$DATA/$machine.json" > "$WORK/expected.txt"
    open_machine "$DATA/$machine.json"
    open_details
    shot "details-$machine"
    click_widget "$DETAILS" details "Copy all"
    expect_held "$WORK/expected.txt" "$machine: Copy all differs from moravel-report --details"
    echo "ok: $machine: the Details window lists its $(grep -c '^  [^ ]' "$WORK/expected.txt") items as --details does"
done

# Still the workstation: Details... from the menu and Ctrl+D, many times, make one window.
for i in 1 2 3; do
    xdotool windowfocus --sync "$MAIN" 2>/dev/null
    press ctrl+d
done
# The Details window stands over the main window's middle, where menu_item clicks: the right
# click goes to the main window's lower left corner instead.
xdotool mousemove --window "$MAIN" 20 "$(($(window_size "$MAIN" | cut -d' ' -f2) - 12))" click 3 2>/dev/null
wait_until 5 menu_shown || fail "no menu after a right click on the main window"
for i in $(seq 7); do press Down; done
press Return
wait_until 5 test "$(count_windows "$DETAILS_TITLE")" = 1 || fail "$(count_windows "$DETAILS_TITLE") Details windows"
echo "ok: Ctrl+D three times and the menu's Details... leave one Details window"

# The search finds a module by its serial; Down goes to what it found, Copy row copies it.
serial=2D4F6A9C
awk -v s="(serial $serial)" '/^[^ ]/ { on = 0 } /^  [^ ]/ { on = index($0, s) > 0 } on { sub(/^  /, ""); print }' \
    "$WORK/expected.txt" > "$WORK/module.txt"
[ "$(wc -l < "$WORK/module.txt")" -gt 5 ] || fail "no module with serial $serial in the report"
xdotool windowfocus --sync "$DETAILS" 2>/dev/null
press ctrl+f  # the search field, wherever the focus was (Copy all, just clicked)
type_text "$DETAILS" "${serial,,}"
shot details-search
press Down
click_widget "$DETAILS" details "Copy row"
expect_held "$WORK/module.txt" "Copy row after a search for the serial"
echo "ok: a search for $serial found its module; Copy row gave it as --details prints it"
xdotool windowfocus --sync "$DETAILS" 2>/dev/null
press ctrl+f
press Escape
[ -n "$(visible_window "$DETAILS_TITLE")" ] || fail "the first Escape closed the window instead of clearing the search"
press Escape
wait_gone "$DETAILS_TITLE" 5 || fail "the second Escape did not close the window"
echo "ok: Escape cleared the search, then closed the window"

# Compared with the seller's snapshot, where another module sat in that slot: the module's row
# and its differing properties carry the fields' marks (the mark's dark blue in the picture),
# and none without the comparison.
mark_pixels() {
    import -window "$DETAILS" "$WORK/marks.png"
    convert "$WORK/marks.png" -fill black +opaque '#005493' -fill white -opaque '#005493' -format '%[fx:int(mean*w*h)]' info:
}
open_details
press ctrl+f
type_text "$DETAILS" "$serial"
wait_until 5 eval '[ "$(mark_pixels)" = 0 ]' || fail "marks without a comparison"
press Escape
press Escape
wait_gone "$DETAILS_TITLE" 5 || fail "the Details window stayed open"
menu_item 5
choose_file 'Compare with snapshot' "$DATA/workstation_seller.json"
open_details
press ctrl+f
type_text "$DETAILS" "$serial"
wait_until 5 eval '[ "$(mark_pixels)" -gt 400 ]' || fail "the swapped module is not marked: $(mark_pixels) pixels"
shot details-compare
cp "$WORK/marks.png" "$WORK/details-compare-window.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/marks.png" "$MORAVEL_SHOTS/details-compare-window.png"
echo "ok: compared with the seller's snapshot, the swapped module is marked ($(mark_pixels) pixels of the mark)"
press Escape
press Escape
wait_gone "$DETAILS_TITLE" 5 || fail "the Details window stayed open"

# With the switch on, the hidden list.
"$REPORT" --details --redact --snapshot "$DATA/workstation.json" > "$WORK/hidden.txt"
menu_item 4
open_details
click_widget "$DETAILS" details "Copy all"
expect_held "$WORK/hidden.txt" "Copy all with the switch on differs from --details --redact"
grep -q "$serial" "$WORK/held.txt" && fail "a hidden serial number in the Details window"
echo "ok: with the switch on the Details window lists what --details --redact lists"

# This machine: the same groups and items (their moving values, free space say, may differ).
titles() { grep -v '^    ' "$1"; }
open_machine ""
env -u MORAVEL_SNAPSHOT "$REPORT" --details > "$WORK/live.txt" 2>/dev/null
open_details
shot details-live
click_widget "$DETAILS" details "Copy all"
wait_until 5 eval 'clipboard > "$WORK/held.txt"; cmp -s <(titles "$WORK/live.txt") <(titles "$WORK/held.txt")' ||
    fail "this machine: $(diff <(titles "$WORK/live.txt") <(titles "$WORK/held.txt") | head -5)"
echo "ok: this machine: the Details window lists the $(grep -c '^  [^ ]' "$WORK/live.txt") items --details lists"
