#!/usr/bin/env bash
# As a user: redrawing a field must not paint over the caption beside it (a caption wider than its
# gap reaches into the field before it), and only a clipped value shows itself whole as a tooltip.
set -euo pipefail
export MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"  # long values, clipped ones
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools import compare convert
start_display 1920x1040x24
start_app
import -window "$MAIN" "$WORK/before.png"

# Whether a part of the window ("WxH+X+Y") now differs from the first screenshot.
differs() {
    import -window "$MAIN" "$WORK/now.png"
    convert "$WORK/now.png" -crop "$1" +repage "$WORK/now-part.png"
    convert "$WORK/before.png" -crop "$1" +repage "$WORK/then-part.png"
    [ "$(compare -metric AE "$WORK/then-part.png" "$WORK/now-part.png" null: 2>&1)" != 0 ]
}
same() { ! differs "$1"; }

rows=0
for top in 10:3 115:2 195:2 275:3 380:2 460:3 565:2 645:2; do  # group top : rows
    for ((r = 1; r <= ${top#*:}; r++)); do
        y=$((${top%:*} + 25 * r))
        # Select all in the left field (its whole text area redraws), then deselect; the pointer
        # stays left of the caption's strip.
        click "$MAIN" 130 $((y + 10))
        key "$MAIN" ctrl+a
        wait_until 3 differs "240x16+118+$((y + 2))" || fail "the field at y $y did not redraw its selection"
        click "$MAIN" 130 $((y + 10))
        wait_until 3 same "257x20+200+$y" || fail "redrawing the field at y $y painted over the caption beside it"
        ink=$(convert "$WORK/now.png" -crop "92x20+365+$y" -format '%[fx:minima.intensity]' info:)
        awk -v m="$ink" 'BEGIN { exit !(m < 0.5) }' || fail "no caption between the fields at y $y"
        rows=$((rows + 1))
    done
done
[ "$rows" -eq 19 ] || fail "checked $rows rows instead of 19"
note "19 right-column captions whole after the field before each redrew"

windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l; }  # a tooltip is one more
shown=$(windows)
more() { [ "$(windows)" -gt "$shown" ]; }
hover() { xdotool mousemove --window "$MAIN" $(widget_at main "$1") 2>>"$WORK/xdotool.log"; }
hover "DAC Type:"  # longer than its field
wait_until 5 more || fail "no tooltip over the clipped DAC Type field"
hover "Domain:"  # fits
wait_until 3 eval '! more' || fail "the tooltip stayed over the Domain field"
! wait_until 2 more || fail "a tooltip over the Domain field, whose text fits"
note "tooltip over the clipped field only"
quit_with_ok
note "passed"
