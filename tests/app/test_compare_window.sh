#!/usr/bin/env bash
# As a user: Compare with snapshot... in the right-click menu marks exactly the fields that
# differ from the snapshot (a frame with a corner flag for a change, a dashed frame for a value
# that changes by itself), in colour and in grey; the title counts them and the parts that differ,
# a swapped memory module no field shows among them; Copy report copies what moravel-report
# --compare prints; the marks are printed; Clear comparison removes every mark.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools xclip import convert gs
REPORT="$MORAVEL_BUILD_DIR/moravel-report"
data="$MORAVEL_SOURCE_DIR/tests/data"
# The workstation whose seller listed another memory module and a hard disk where it has an SSD.
# Its recorded version, 6.2, brings the notice box first; as 6.1 the window opens at once.
python3 -c 'import json, sys; m = json.load(open(sys.argv[1])); m["osVersion"] = {"major": 6, "minor": 1}
json.dump(m, open(sys.argv[2], "w"))' "$data/workstation.json" "$WORK/workstation.json"
export MORAVEL_SNAPSHOT="$WORK/workstation.json"
SELLER="$data/workstation_seller.json"
shots=${MORAVEL_SHOTS:-}

start_display 1280x900x24
start_app
read -r width height < <(window_size "$MAIN")  # the printed page is cut to it

# Field number, "Group / Caption:" and the top-left corner of each of the 38 fields, in window
# order: the captions from the report, the places from the program.
"$REPORT" | awk '/^[^ ]/ { group = $0; next } { sub(/^  /, ""); sub(/: .*/, ":"); print group " / " $0 }' \
    > "$WORK/names"
widget_at main OK >/dev/null  # writes $WORK/widgets
grep '^main ' "$WORK/widgets" | head -n 38 | awk '{ print $2 - 125, $3 - 10 }' > "$WORK/corners"
[ "$(wc -l < "$WORK/names")" = 38 ] && [ "$(wc -l < "$WORK/corners")" = 38 ] || fail "38 fields not found"

# What the marks must say: "changed", "expected" or "plain" per field, from moravel-report's
# JSON (its text tells a field once where an item tells the same change); and how many parts
# (inventory items) differ.
"$REPORT" --compare "$SELLER" > "$WORK/compare.txt"
"$REPORT" --compare "$SELLER" --json > "$WORK/compare.json"
python3 - "$WORK/compare.json" "$WORK/names" "$WORK/parts" > "$WORK/expected" <<'PY'
import json, sys
document = json.load(open(sys.argv[1]))
marks, parts = {}, set()
for part, mark in (("changed", "changed"), ("removableOrVirtual", "changed"), ("software", "changed"),
                   ("expectedToChange", "expected")):
    for field in document[part]["fields"]:
        marks[field["group"] + " / " + field["label"]] = mark
    parts.update((item["kind"], item["name"]) for item in document[part]["items"])
for name in open(sys.argv[2]).read().splitlines():
    print(marks.get(name, "plain"))
open(sys.argv[3], "w").write(str(len(parts)))
PY
grep -q changed "$WORK/expected" && grep -q expected "$WORK/expected" || fail "the snapshots show no difference of both kinds"
grep -q '^Memory module .*: replaced; Manufacturer: ' "$WORK/compare.txt" || fail "no swapped module to count"

# Reads the marks off a picture of the window: along the field's top edge (a row up or down: a
# printed page may be a pixel off), a
# change is a solid line of the mark, a value that changes by itself a dashed one, a field
# without a mark has none. $2 "colour" counts the mark's own colour, "grey" anything darker
# than half grey once the picture is grey: the marks must read without colour too.
read_marks() {
    if [ "$2" = colour ]; then
        convert "$1" -fuzz 8% -fill white +opaque '#005493' -fill black -opaque '#005493' -strip "$WORK/ink.png"
    else
        convert "$1" -colorspace Gray -threshold 50% -type bilevel -strip "$WORK/ink.png"
    fi
    local x y count
    while read -r x y; do
        count=$(convert "$WORK/ink.png" -crop "250x4+$x+$((y - 1))" -depth 8 txt:- |
                awk -F '[,:]' '/#000000/ { n[$2]++ } END { m = 0; for (r in n) if (n[r] > m) m = n[r]; print m }')
        if [ "$count" -ge 245 ]; then echo changed
        elif [ "$count" -ge 100 ]; then echo expected
        elif [ "$count" -eq 0 ]; then echo plain
        else echo "unclear($count)"; fi
    done < "$WORK/corners"
}
expect_marks() {  # picture, colour|grey, file of the expected marks, what
    read_marks "$1" "$2" > "$WORK/marks"
    cmp -s "$3" "$WORK/marks" ||
        fail "$4 ($2): $(paste -d' ' "$WORK/names" "$3" "$WORK/marks" | awk '$(NF-1) != $NF' | head -5)"
}
# The window as the screen shows it once it shows the marks of file $1 (the title changes a
# moment before the fields are drawn again), in picture $2.
window_with_marks() {
    local tries
    for tries in 1 2 3 4 5; do
        import -window "$MAIN" "$2"
        read_marks "$2" colour | cmp -s "$1" - && return 0
        sleep 0.5
    done
}

menu_item 5
choose_file 'Compare with snapshot' "$SELLER"
differing=$(grep -vc plain "$WORK/expected")
parts=$(cat "$WORK/parts")
find_window " - $differing fields and $parts parts differ from workstation_seller\\.json \\($(grep -c expected "$WORK/expected") expected to change\\)\$" 10 >/dev/null ||
    fail "the title does not say that $differing fields and $parts parts differ: $(xdotool getwindowname "$MAIN")"
window_with_marks "$WORK/expected" "$WORK/marked.png"
[ -n "$shots" ] && cp "$WORK/marked.png" "$shots/compare-marks.png"
expect_marks "$WORK/marked.png" colour "$WORK/expected" "the marks are not on exactly the differing fields"
expect_marks "$WORK/marked.png" grey "$WORK/expected" "the marks do not read in grey"
echo "ok: Compare with snapshot marks the $differing differing fields and no other, in colour and in grey; the title counts them and the $parts parts"

# The pointer resting on a marked field shows its tooltip (what it holds is checked in process).
read -r x y < <(sed -n "$(grep -n '^Drives / HDD Name:$' "$WORK/names" | cut -d: -f1)p" "$WORK/corners")
xdotool mousemove --window "$MAIN" $((x + 60)) $((y + 10)) 2>/dev/null
wait_until 5 menu_shown || fail "no tooltip over a marked field"
import -window root "$WORK/tooltip.png"
[ -n "$shots" ] && read -r wx wy < <(window_position "$MAIN") &&
    convert "$WORK/tooltip.png" -crop "520x110+$((wx + x - 120))+$((wy + y - 30))" +repage "$shots/compare-tooltip.png"
xdotool mousemove --window "$MAIN" 5 5 2>/dev/null

press ctrl+shift+c
wait_until 5 eval 'xclip -o -selection clipboard 2>/dev/null | cmp -s - "$WORK/compare.txt"' ||
    fail "Copy report with a comparison: $(xclip -o -selection clipboard | diff "$WORK/compare.txt" - | head -5)"
echo "ok: Copy report copies what moravel-report --compare prints"

# Printed into a file and drawn one window pixel to one image pixel, the page shows the marks.
click_widget "$MAIN" main Print
dialog=$(find_window '^Print$' 10) || fail "no print dialog after Print"
key "$dialog" Return
chooser=$(find_window '\.ps' 10) || fail "no file chooser after Print To File"
type_text "$chooser" "$WORK/marked.ps"
key "$chooser" Return
wait_until 10 eval 'tail -n1 "$WORK/marked.ps" 2>/dev/null | grep -q "^%%EOF"' || fail "nothing printed"
read -r left top < <(grep -E 'TR +0\.700000 0\.700000 SC' "$WORK/marked.ps" | sed -E 's/.* ([0-9.]+) ([0-9.]+) TR +0\.7.*/\1 \2/')
gs -q -dNOPAUSE -dBATCH -sDEVICE=png16m -r102.857142857 -sOutputFile="$WORK/page.png" "$WORK/marked.ps"
convert "$WORK/page.png" -crop "${width}x${height}+$(awk -v v="$left" 'BEGIN { printf "%d", v / 0.7 + 0.5 }')+$(awk -v v="$top" 'BEGIN { printf "%d", v / 0.7 + 0.5 }')" +repage "$WORK/printed.png"
[ -n "$shots" ] && cp "$WORK/printed.png" "$shots/compare-printed.png"
expect_marks "$WORK/printed.png" colour "$WORK/expected" "the printed page does not mark the differing fields"
expect_marks "$WORK/printed.png" grey "$WORK/expected" "the printed marks do not read in grey"
# The legend left of the buttons: a sample of each mark in the marks' colour, then the snapshot.
legend_ink() {  # picture: pixels of the mark's colour where the legend's samples stand
    convert "$1" -crop 200x20+14+725 +repage -fuzz 8% -fill white +opaque '#005493' -fill black -opaque '#005493' \
        -depth 8 txt:- | grep -c '#000000'
}
[ "$(legend_ink "$WORK/printed.png")" -ge 40 ] || fail "the printed page has no legend of the marks"
echo "ok: the printed page keeps the marks, in colour and in grey, with their legend"

menu_item 6
find_window "$MAIN_TITLE" 10 >/dev/null || fail "Clear comparison left the title: $(xdotool getwindowname "$MAIN")"
sed 's/.*/plain/' "$WORK/expected" > "$WORK/none"
window_with_marks "$WORK/none" "$WORK/cleared.png"
expect_marks "$WORK/cleared.png" colour "$WORK/none" "Clear comparison left marks"
[ "$(legend_ink "$WORK/cleared.png")" -eq 0 ] || fail "Clear comparison left the legend"
"$REPORT" > "$WORK/plain.txt"
press ctrl+shift+c
wait_until 5 eval 'xclip -o -selection clipboard 2>/dev/null | cmp -s - "$WORK/plain.txt"' ||
    fail "Copy report after Clear comparison is not the report"
echo "ok: Clear comparison removes every mark and the count; Copy report copies the report again"
