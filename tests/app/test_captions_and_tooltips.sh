#!/usr/bin/env bash
# As a user: redrawing a field must not paint over the caption beside it (a caption wider than its
# gap reaches into the field before it), with the fonts installed here, with Nimbus Sans in place
# of Liberation Sans, and with DejaVu Sans alone; only a clipped value shows itself whole as a
# tooltip.
set -euo pipefail
export MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"  # long values, clipped ones
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools import compare convert fc-match fc-list
FACES="Liberation Sans,Arimo,Nimbus Sans,Arial,Helvetica,sans"  # the program's Helvetica

# Whether a part of the window ("WxH+X+Y") now differs from the first screenshot.
differs() {
    import -window "$MAIN" "$WORK/now.png"
    convert "$WORK/now.png" -crop "$1" +repage "$WORK/now-part.png"
    convert "$WORK/before.png" -crop "$1" +repage "$WORK/then-part.png"
    [ "$(compare -metric AE "$WORK/then-part.png" "$WORK/now-part.png" null: 2>&1)" != 0 ]
}
same() { ! differs "$1"; }

# Every right-column caption stays whole while the field to its left redraws.
check_captions() {
    start_display 1920x1040x24
    start_app
    import -window "$MAIN" "$WORK/before.png"
    local rows=0 top r y ink
    for top in 10:3 115:2 195:2 275:3 380:2 460:3 565:2 645:2; do  # group top : rows
        for ((r = 1; r <= ${top#*:}; r++)); do
            y=$((${top%:*} + 25 * r))
            # Select all in the left field (its whole text area redraws), deselect, and Tab on to
            # the right field, so the left one looks as it did; the pointer stays left of the
            # caption's strip.
            click "$MAIN" 130 $((y + 10))
            key "$MAIN" ctrl+a
            wait_until 3 differs "240x16+118+$((y + 2))" || fail "$1: the field at y $y did not redraw its selection"
            click "$MAIN" 130 $((y + 10))
            key "$MAIN" Tab
            wait_until 5 same "257x20+200+$y" || fail "$1: redrawing the field at y $y painted over the caption beside it"
            ink=$(convert "$WORK/now.png" -crop "92x20+365+$y" -format '%[fx:minima.intensity]' info:)
            awk -v m="$ink" 'BEGIN { exit !(m < 0.5) }' || fail "$1: no caption between the fields at y $y"
            rows=$((rows + 1))
        done
    done
    [ "$rows" -eq 19 ] || fail "$1: checked $rows rows instead of 19"
    [ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/before.png" "$MORAVEL_SHOTS/captions-${2:-installed}.png"
    note "$1: 19 right-column captions whole after the field before each redrew"
}

# A font configuration with only the given families' folders: what a clean system may have.
fonts_of() {
    local family folders conf="$WORK/fonts-$#.conf"
    { echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd"><fontconfig>'
      for family in "$@"; do
          folders=$(env -u FONTCONFIG_FILE fc-list -f '%{file}\n' "$family" | xargs -r -n1 dirname | sort -u)
          [ -n "$folders" ] || { echo "FAIL: $family is not installed (scripts/install-deps)" >&2; exit 1; }
          printf '<dir>%s</dir>\n' $folders
      done
      echo "<cachedir>$WORK/fontconfig</cachedir><include ignore_missing=\"yes\">/etc/fonts/conf.d</include></fontconfig>"
    } > "$conf"
    echo "$conf"
}

# Without Liberation Sans: Nimbus Sans (fonts-urw-base35) has the same widths.
export FONTCONFIG_FILE
FONTCONFIG_FILE=$(fonts_of "DejaVu Sans" "Nimbus Sans")
[ "$(fc-match -f '%{family[0]}' "$FACES")" = "Nimbus Sans" ] || fail "not drawn with Nimbus Sans without Liberation"
check_captions "Nimbus Sans, no Liberation" nimbus
stop_program || true  # its status is the kill's
# Only DejaVu Sans, wider: a caption that would run into the field before it is drawn smaller.
FONTCONFIG_FILE=$(fonts_of "DejaVu Sans")
[ "$(fc-match -f '%{family[0]}' "$FACES")" = "DejaVu Sans" ] || fail "not drawn with DejaVu Sans alone"
check_captions "DejaVu Sans only" dejavu
stop_program || true  # its status is the kill's
unset FONTCONFIG_FILE
check_captions "installed fonts"

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
