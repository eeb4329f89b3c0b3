#!/usr/bin/env bash
# As a user: redrawing a field must not paint over the caption beside it (a caption wider than its
# gap reaches into the field before it), and only a clipped value shows itself whole as a tooltip.
set -euo pipefail
source "$(dirname "$0")/../commands/gui_helpers.sh"
require_tools
start_display 1920 1040
export MORAVEL_SNAPSHOT="${MORAVEL_SOURCE_DIR:?}/tests/data/desktop.json"
start_app

import -window "$MAIN" "$WORK/before.png"
rows=0
for top in 10:3 115:2 195:2 275:3 380:2 460:3 565:2 645:2; do  # group top : rows
    for ((r = 1; r <= ${top#*:}; r++)); do
        y=$((${top%:*} + 25 * r))
        # Focus the left field, select all, deselect: its text area redraws; the pointer stays left.
        click "$MAIN" 130 $((y + 10)); key "$MAIN" ctrl+a; click "$MAIN" 130 $((y + 10))
        sleep 0.2
        import -window "$MAIN" "$WORK/after.png"
        for shot in before after; do convert "$WORK/$shot.png" -crop "257x20+200+$y" +repage "$WORK/$shot-strip.png"; done
        changed=$(compare -metric AE "$WORK/before-strip.png" "$WORK/after-strip.png" null: 2>&1 || true)
        [ "$changed" = 0 ] || fail "redrawing the field at y $y changed $changed pixels of the caption beside it"
        ink=$(convert "$WORK/after.png" -crop "92x20+365+$y" -format '%[fx:minima.intensity]' info:)
        awk -v m="$ink" 'BEGIN { exit !(m < 0.5) }' || fail "no caption between the fields at y $y"
        rows=$((rows + 1))
    done
done
[ "$rows" -eq 19 ] || fail "checked $rows rows instead of 19"
note "19 right-column captions whole after the field before each redrew"

windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l; }  # a tooltip is one more
hover() { xdotool mousemove --window "$MAIN" "$1" "$2" 2>>"$WORK/xdotool.log"; sleep 1.8; }
shown=$(windows)
hover 585 545  # VGA "DAC Type:", longer than its field
[ "$(windows)" -eq $((shown + 1)) ] || fail "no tooltip over the clipped DAC Type field"
hover 240 495  # VGA "Name:", which fits
[ "$(windows)" -eq "$shown" ] || fail "a tooltip over the VGA Name field, whose text fits"
note "tooltip over the clipped field only"
quit_with_ok
note "passed"
