#!/usr/bin/env bash
# Print, as a user does it: the toolkit's print dialog, "Print To File", a PostScript page.
set -euo pipefail
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools import compare convert gs
start_display 1920x1040x24
OUT="$WORK/out"
mkdir -p "$OUT"
start_app
app_alive || fail "program ended at start-up"
import -window "$MAIN" "$WORK/main.png"
read -r WIN_W WIN_H < <(window_size "$MAIN")

open_print_dialog() {
    if [ $# -eq 2 ]; then click "$MAIN" "$1" "$2"; else click_widget "$MAIN" main Print; fi
    DIALOG=$(find_window '^Print$' 10) || fail "no print dialog after Print"
}

# The dialog's own Print button (Enter), then the file name in the file chooser.
print_to_file() {
    key "$DIALOG" Return
    wait_gone '^Print$' 5 || fail "print dialog stayed open"
    local chooser
    chooser=$(find_window '\.ps' 10) || fail "no file chooser after Print To File"
    type_text "$chooser" "$1"
    key "$chooser" Return
    wait_until 10 finished_file "$1" || fail "no finished PostScript file at $1"
}

finished_file() { [ -f "$1" ] && tail -n1 "$1" | grep -q '^%%EOF'; }

printed_files() {
    find "$OUT" -type f | wc -l
}

# One page, the scale 0.7, and the window's picture at the page origin in 0.7 of its size.
check_page() {
    local ps=$1
    [ "$(grep -c '^%%Page:' "$ps")" -eq 1 ] || fail "$ps: not exactly one page"
    grep -q '^%%Pages: 1$' "$ps" || fail "$ps: header does not announce one page"
    [ "$(gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox "$ps" 2>&1 | grep -c '^%%BoundingBox')" -eq 1 ] ||
        fail "$ps: ghostscript does not find exactly one page"
    # The page set-up: "GS <left> <top> TR  0.700000 0.700000 SC" (y grows downwards from the top).
    local setup
    setup=$(grep -E 'TR +0\.700000 0\.700000 SC' "$ps") || fail "$ps: no scale 0.7 x 0.7"
    [ "$(grep -cE ' SC( |$)' "$ps")" -eq 2 ] || fail "$ps: more scaling than the page flip and 0.7"
    local left top page_h
    read -r left top < <(echo "$setup" | sed -E 's/.* ([0-9.]+) ([0-9.]+) TR +0\.7.*/\1 \2/')
    page_h=$(sed -nE 's/^%%PageBoundingBox: 0 0 [0-9]+ ([0-9]+)$/\1/p' "$ps")
    # What ghostscript sees drawn: the window's background covers it all.
    local box
    box=$(gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox "$ps" 2>&1 | sed -nE 's/^%%HiResBoundingBox: //p')
    note "$ps: origin $left,$top of a page $page_h high; drawn box $box"
    echo "$box" | awk -v l="$left" -v t="$top" -v h="$page_h" -v ww="$WIN_W" -v wh="$WIN_H" '{
        w = $3 - $1; hh = $4 - $2; ew = ww * 0.7; eh = wh * 0.7
        bad = 0
        if (w < ew - 0.1 || w > ew + 0.1) { print "width " w " instead of " ew; bad = 1 }
        if (hh < eh - 0.1 || hh > eh + 0.1) { print "height " hh " instead of " eh; bad = 1 }
        if ($1 < l - 0.5 || $1 > l + 0.5) { print "left edge " $1 " away from the origin " l; bad = 1 }
        if ($4 < h - t - 0.5 || $4 > h - t + 0.5) { print "top edge " $4 " away from the origin " h - t; bad = 1 }
        exit bad }' || fail "$ps: the picture is not the window at 0.7 at the page origin"
}

# Renders the page so that one window pixel is one image pixel and compares the window's part
# with a screenshot of the window. Screen and PostScript draw text and edges with different
# fonts and smoothing, so both are blurred a little first; a picture 5 pixels off is already
# several times further away than the real one.
check_picture() {
    local ps=$1 left top
    read -r left top < <(grep -E 'TR +0\.700000 0\.700000 SC' "$ps" | sed -E 's/.* ([0-9.]+) ([0-9.]+) TR +0\.7.*/\1 \2/')
    gs -q -dNOPAUSE -dBATCH -sDEVICE=png16m -r72 -sOutputFile="$WORK/page.png" "$ps"
    gs -q -dNOPAUSE -dBATCH -sDEVICE=png16m -r102.857142857 -dTextAlphaBits=4 -dGraphicsAlphaBits=4 \
        -sOutputFile="$WORK/page_1to1.png" "$ps"
    local x y
    x=$(awk -v v="$left" 'BEGIN { printf "%d", v / 0.7 + 0.5 }')
    y=$(awk -v v="$top" 'BEGIN { printf "%d", v / 0.7 + 0.5 }')
    convert "$WORK/page_1to1.png" -crop "${WIN_W}x${WIN_H}+$x+$y" +repage -strip "$WORK/printed_window.png"
    convert "$WORK/main.png" -blur 0x3 -strip "$WORK/main_blurred.png"
    convert "$WORK/printed_window.png" -blur 0x3 -strip "$WORK/printed_blurred.png"
    local difference
    difference=$(compare -metric RMSE "$WORK/main_blurred.png" "$WORK/printed_blurred.png" null: 2>&1 |
        sed -E 's/.*\((.*)\)/\1/') || true
    note "screen against page: RMSE $difference"
    awk -v d="$difference" 'BEGIN { exit !(d < 0.035) }' || fail "printed picture differs from the window (RMSE $difference)"
    # Outside the window's part the page stays blank.
    local outside
    outside=$(convert "$WORK/page_1to1.png" -crop "400x300+$((x + WIN_W + 5))+$((y + WIN_H + 5))" +repage \
        -format '%[fx:minima.intensity]' info:)
    awk -v m="$outside" 'BEGIN { exit !(m > 0.99) }' || fail "marks outside the window's picture"
}

note "cancel in the print dialog: nothing is printed"
open_print_dialog
key "$DIALOG" Escape
wait_gone '^Print$' 5 || fail "cancelling did not close the print dialog"
app_alive || fail "program ended after cancelling"
[ "$(printed_files)" -eq 0 ] || fail "cancelling left a file behind"

note "print into a file"
open_print_dialog
print_to_file "$OUT/first.ps"
check_page "$OUT/first.ps"
check_picture "$OUT/first.ps"

note "cancel in the file chooser: nothing more is printed"
open_print_dialog
key "$DIALOG" Return
chooser=$(find_window '\.ps' 10) || fail "no file chooser"
key "$chooser" Escape
wait_gone '\.ps' 5 || fail "Escape did not close the file chooser"
app_alive || fail "program ended after cancelling the file chooser"
[ "$(printed_files)" -eq 1 ] || fail "cancelling the file chooser printed something"

note "a later press starts a fresh job"
open_print_dialog
print_to_file "$OUT/second.ps"
check_page "$OUT/second.ps"
# Nothing was printed late by either cancel.
[ "$(printed_files)" -eq 2 ] || fail "$(printed_files) files printed, wanted 2"

# A window enlarged beyond the page: one page that holds all of it, scaled below 0.7.
check_fitted_page() {
    local ps=$1 setup scale page_w page_h box
    [ "$(grep -c '^%%Page:' "$ps")" -eq 1 ] || fail "$ps: not exactly one page"
    setup=$(grep -E 'TR +[0-9.]+ [0-9.]+ SC' "$ps" | tail -n1)
    scale=$(echo "$setup" | sed -E 's/.*TR +([0-9.]+) [0-9.]+ SC.*/\1/')
    read -r page_w page_h < <(sed -nE 's/^%%PageBoundingBox: 0 0 ([0-9]+) ([0-9]+)$/\1 \2/p' "$ps")
    box=$(gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox "$ps" 2>&1 | sed -nE 's/^%%HiResBoundingBox: //p')
    note "$ps: scale $scale, drawn box $box on a page $page_w x $page_h"
    echo "$box" | awk -v s="$scale" -v pw="$page_w" -v ph="$page_h" -v ww="$WIN_W" -v wh="$WIN_H" '{
        bad = 0
        if (s >= 0.7) { print "scale " s " not below 0.7"; bad = 1 }
        if ($3 - $1 < ww * s - 0.5 || $3 - $1 > ww * s + 0.5) { print "width " $3 - $1 " instead of " ww * s; bad = 1 }
        if ($4 - $2 < wh * s - 0.5 || $4 - $2 > wh * s + 0.5) { print "height " $4 - $2 " instead of " wh * s; bad = 1 }
        if ($1 < 0 || $2 < 0 || $3 > pw || $4 > ph) { print "the picture leaves the page"; bad = 1 }
        exit bad }' || fail "$ps: the enlarged window is not whole on its page"
}

note "a window enlarged to 1400 x 1000 prints whole on one page"
is_size() { [ "$(window_size "$MAIN")" = "$1 $2" ]; }
xdotool windowmove "$MAIN" 0 0 windowsize "$MAIN" 1400 1000 2>>"$WORK/xdotool.log"
wait_until 5 is_size 1400 1000 || fail "window is $(window_size "$MAIN") after resizing"
WIN_W=1400 WIN_H=1000
read -r px py < <(widget_at main Print)
open_print_dialog $((px * 1400 / 725)) $((py * 1000 / 755))  # the button moved with the scaling
print_to_file "$OUT/large.ps"
check_fitted_page "$OUT/large.ps"

xdotool windowsize "$MAIN" 725 755 2>>"$WORK/xdotool.log"  # OK back where the positions say
wait_until 5 is_size 725 755 || fail "window is $(window_size "$MAIN") after resizing back"
quit_with_ok
note "passed"
