#!/usr/bin/env bash
# As a user: focusing a field must not paint over the caption to its right (a caption wider
# than its gap reaches into the field before it), and a clipped value shows itself whole as a
# tooltip while a value that fits shows none.
set -euo pipefail
source "$(dirname "$0")/../commands/gui_helpers.sh"
require_tools
start_display 1920 1040
export MORAVEL_SNAPSHOT="${MORAVEL_SOURCE_DIR:?}/tests/data/desktop.json"
start_app
app_alive || fail "program ended at start-up"

GROUP_TOPS=(10 115 195 275 380 460 565 645)
GROUP_ROWS=(3 2 2 3 2 3 2 2)

# The part of a row from inside the left field to the right field: the caption and what it
# would overlap.
row_strip() {  # image row-y output
    convert "$1" -crop "257x20+200+$2" +repage "$3"
}

import -window "$MAIN" "$WORK/before.png"
rows=0
for g in "${!GROUP_TOPS[@]}"; do
    for ((r = 1; r <= GROUP_ROWS[g]; r++)); do
        y=$((GROUP_TOPS[g] + 25 * r))
        # Focus the left field, select all and deselect: its whole text area redraws. The pointer
        # stays left of the strip.
        click "$MAIN" 130 $((y + 10))
        key "$MAIN" ctrl+a
        click "$MAIN" 130 $((y + 10))
        sleep 0.2
        import -window "$MAIN" "$WORK/after.png"
        row_strip "$WORK/before.png" "$y" "$WORK/strip_before.png"
        row_strip "$WORK/after.png" "$y" "$WORK/strip_after.png"
        changed=$(compare -metric AE "$WORK/strip_before.png" "$WORK/strip_after.png" null: 2>&1 || true)
        [ "$changed" = 0 ] || fail "focusing the field at y $y changed $changed pixels of the caption beside it"
        # The caption is there: dark pixels between the fields.
        ink=$(convert "$WORK/after.png" -crop "92x20+365+$y" +repage -format '%[fx:minima.intensity]' info:)
        awk -v m="$ink" 'BEGIN { exit !(m < 0.5) }' || fail "no caption between the fields at y $y"
        rows=$((rows + 1))
    done
done
[ "$rows" -eq 19 ] || fail "checked $rows rows instead of 19"
note "19 right-column captions unchanged after focusing the field before each"

count_tooltips() {  # the tooltip is one more window on the display
    xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l
}
hover() {  # x y in the main window
    xdotool mousemove --window "$MAIN" "$1" "$2" 2>>"$WORK/xdotool.log"
    sleep 1.8
}
windows=$(count_tooltips)
hover 585 545   # VGA "DAC Type:": longer than its field
[ "$(count_tooltips)" -eq $((windows + 1)) ] || fail "no tooltip over the clipped DAC Type field"
import -window root "$WORK/tooltip.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/tooltip.png" "$MORAVEL_SHOTS/tooltip.png"
hover 240 495   # VGA "Name:": fits
[ "$(count_tooltips)" -eq "$windows" ] || fail "a tooltip over the VGA Name field, whose text fits"
note "tooltip over the clipped field only"
quit_with_ok
note "passed"
