#!/usr/bin/env bash
# About, as a user does it: one centred window, its links, and every way of closing it.
set -euo pipefail
source "$(dirname "$0")/gui_helpers.sh"
require_tools
start_display 1920 1040
cc -o "$WORK/close_window" "$(dirname "$0")/close_window.c" -lX11 || { echo "SKIP: no Xlib to build with"; exit 77; }

# Stand-ins for the system's web browser and mail program: they note what they were given.
mkdir -p "$WORK/bin"
for opener in xdg-open xdg-email; do
    printf '#!/bin/sh\necho "%s $*" >> "%s"\n' "$opener" "$WORK/opened.txt" >"$WORK/bin/$opener"
    chmod +x "$WORK/bin/$opener"
done
export PATH="$WORK/bin:$PATH"

ABOUT_TITLE='^About Moravel$'
# On a 1920 x 1040 work area at (0, 0).
EXPECTED_POSITION="774 349"

open_about() {
    click "$MAIN" "${ABOUT_AT[@]}"
    ABOUT=$(wait_window "$ABOUT_TITLE" 10) || fail "About did not open a window"
    sleep 0.5
    [ "$(window_position "$ABOUT")" = "$EXPECTED_POSITION" ] ||
        fail "About window at $(window_position "$ABOUT"), not $EXPECTED_POSITION"
    [ "$(window_size "$ABOUT")" = "372 340" ] || fail "About window is $(window_size "$ABOUT")"
}

expect_closed() {
    wait_gone "$ABOUT_TITLE" 5 || fail "About window still open after $1"
    app_alive || fail "program ended after closing About by $1"
}

# The same content, scrolled to the top, as the first window showed.
expect_first_look() {
    import -window "$ABOUT" "$WORK/again.png"
    local differing
    differing=$(compare -metric AE "$WORK/about.png" "$WORK/again.png" null: 2>&1) || true
    [ "$differing" = "0" ] || fail "reopened About window looks different ($differing pixels)"
}

start_app

note "About opens one centred window"
open_about
import -window "$ABOUT" "$WORK/about.png"
first=$ABOUT
click "$MAIN" "${ABOUT_AT[@]}"
sleep 0.5
[ "$(count_windows "$ABOUT_TITLE")" -eq 1 ] || fail "a second press opened another window"
[ "$(wait_window "$ABOUT_TITLE")" = "$first" ] || fail "a second press replaced the window"

note "links go to the system's browser and mail program"
click "$ABOUT" 140 236   # Website
click "$ABOUT" 180 101   # the product page
click "$ABOUT" 179 278   # the mail address
for i in $(seq 100); do [ "$(wc -l <"$WORK/opened.txt" 2>/dev/null || echo 0)" -ge 3 ] && break; sleep 0.05; done
[ -f "$WORK/opened.txt" ] || fail "no link was handed to the system"
sort "$WORK/opened.txt" >"$WORK/opened.sorted"
printf '%s\n' "xdg-email mailto:tobrin@example.org" "xdg-open https://moravel.example.org/" \
    "xdg-open https://tobrin.example.org/" >"$WORK/opened.expected"
diff "$WORK/opened.expected" "$WORK/opened.sorted" || fail "links handed over differ"

note "the main window still works while About is open"
click "$MAIN" "${PRINT_AT[@]}"
dialog=$(wait_window '^Print$' 10) || fail "Print did not open its dialog while About was open"
sleep 0.3
key "$dialog" Escape
wait_gone '^Print$' 5 || fail "print dialog stayed open"
[ "$(count_windows "$ABOUT_TITLE")" -eq 1 ] || fail "printing closed the About window"

note "closed by OK, opened again as new"
xdotool mousemove --window "$ABOUT" 180 150 click 5 click 5 click 5 2>>"$WORK/xdotool.log"
click "$ABOUT" 327 321   # OK
expect_closed "its OK button"
open_about
expect_first_look

note "closed by Escape"
key "$ABOUT" Escape
expect_closed "Escape"
open_about

note "closed by Enter"
key "$ABOUT" Return
expect_closed "Enter"
open_about

note "closed by its close box"
"$WORK/close_window" "$ABOUT"
expect_closed "the close box"
open_about
expect_first_look

note "OK on the main window ends the program while About is open"
quit_with_ok
note "passed"
