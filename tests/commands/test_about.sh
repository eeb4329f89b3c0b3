#!/usr/bin/env bash
# About, as a user does it: one centred window, its links, and every way of closing it. A link
# goes to the system's helper with the environment Moravel was started with; without a helper,
# a message box says so and the About text stays.
set -euo pipefail
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools import compare
start_display 1920x1040x24

# Stand-ins for the system's web browser and mail program: they note what they were given, and
# in which environment.
mkdir -p "$WORK/bin" "$WORK/empty"
for opener in xdg-open xdg-email; do
    printf '#!/bin/sh\necho "%s $*" >> "%s"\nenv > "%s"\n' "$opener" "$WORK/opened.txt" "$WORK/env-$opener.txt" \
        >"$WORK/bin/$opener"
    chmod +x "$WORK/bin/$opener"
done
HELPERS_PATH="$WORK/bin:$PATH"
unset XCOMPOSEFILE
export MORAVEL_STARTED_WITH=this-environment

ABOUT_TITLE='^About Moravel$'
# On a 1920 x 1040 work area at (0, 0).
EXPECTED_POSITION="774 349"

# The middle of each link, "x y" in the window, top to bottom and left to right, found where the
# window is drawn in the link colour (blue); read from a screenshot, so fonts may change.
link_spots() {
    import -window "$ABOUT" "$WORK/look.png" 2>/dev/null || return 1
    convert "$WORK/look.png" -depth 8 txt:- |
        awk -F'[^0-9]+' 'NR > 1 && $5 > $3 + 60 && $5 > $4 + 60 { print $2, $1 }' | sort -n -k1,1 -k2,2 |
        awk '{ if (NR == 1 || $1 > y + 2) line++; y = $1; print line, $2, $1 }' | sort -n -k1,1 -k2,2 |
        awk 'function out() { if (n) printf "%d %d\n", (x0 + x1) / 2, (y0 + y1) / 2 }
             { if ($1 != l || $2 > x1 + 6) { out(); l = $1; x0 = $2; y0 = $3; y1 = $3; n = 1 }
               x1 = $2; if ($3 < y0) y0 = $3; if ($3 > y1) y1 = $3 }
             END { out() }' > "$WORK/links.txt"
}
# The document is drawn: its four links (product page, Website, Forum, mail address) show.
drawn() { link_spots && [ "$(wc -l < "$WORK/links.txt")" -eq 4 ]; }
at_expected_position() { [ "$(window_position "$ABOUT")" = "$EXPECTED_POSITION" ]; }

open_about() {
    click_widget "$MAIN" main About
    ABOUT=$(find_window "$ABOUT_TITLE" 10) || fail "About did not open a window"
    wait_until 5 at_expected_position ||
        fail "About window at $(window_position "$ABOUT"), not $EXPECTED_POSITION"
    [ "$(window_size "$ABOUT")" = "372 340" ] || fail "About window is $(window_size "$ABOUT")"
}

expect_closed() {
    wait_gone "$ABOUT_TITLE" 5 || fail "About window still open after $1"
    app_alive || fail "program ended after closing About by $1"
}

# The same content, scrolled to the top, as the first window showed (once it is drawn).
DIFFERING=unknown
first_look() {
    import -window "$ABOUT" "$WORK/again.png" 2>/dev/null &&
        DIFFERING=$(compare -metric AE "$WORK/about.png" "$WORK/again.png" null: 2>&1)
}
expect_first_look() {
    wait_until 5 first_look || fail "reopened About window looks different ($DIFFERING pixels)"
}

# Clicks link $1 (1 to 4, as link_spots orders them).
click_link() {
    # shellcheck disable=SC2046
    click "$ABOUT" $(sed -n "$1p" "$WORK/links.txt")
}

PATH=$HELPERS_PATH start_app

note "About opens one centred window"
open_about
wait_until 5 drawn || fail "the About document was not drawn with its four links"
cp "$WORK/look.png" "$WORK/about.png"
first=$ABOUT
click_widget "$MAIN" main About

note "links go to the system's browser and mail program"
click_link 2   # Website
click_link 1   # the product page
click_link 4   # the mail address
three_opened() { [ "$(wc -l <"$WORK/opened.txt" 2>/dev/null || echo 0)" -ge 3 ]; }
wait_until 5 three_opened || fail "not every link was handed to the system"
sort "$WORK/opened.txt" >"$WORK/opened.sorted"
printf '%s\n' "xdg-email mailto:tobrin@example.org" "xdg-open https://moravel.example.org/" \
    "xdg-open https://tobrin.example.org/" >"$WORK/opened.expected"
diff "$WORK/opened.expected" "$WORK/opened.sorted" || fail "links handed over differ"
for opener in xdg-open xdg-email; do
    grep -qx MORAVEL_STARTED_WITH=this-environment "$WORK/env-$opener.txt" || fail "$opener lacks Moravel's environment"
    ! grep -q '^XCOMPOSEFILE=' "$WORK/env-$opener.txt" || fail "$opener got XCOMPOSEFILE, which Moravel was not started with"
done

note "the main window still works while About is open"
click_widget "$MAIN" main Print
dialog=$(find_window '^Print$' 10) || fail "Print did not open its dialog while About was open"
# The program handles events in order: with the dialog up, the second About press is handled.
[ "$(count_windows "$ABOUT_TITLE")" -eq 1 ] || fail "a second press opened another window"
[ "$(visible_window "$ABOUT_TITLE")" = "$first" ] || fail "a second press replaced the window"
key "$dialog" Escape
wait_gone '^Print$' 5 || fail "print dialog stayed open"
[ "$(count_windows "$ABOUT_TITLE")" -eq 1 ] || fail "printing closed the About window"

note "closed by OK, opened again as new"
read -r width height < <(window_size "$ABOUT")
xdotool mousemove --window "$ABOUT" $((width / 2)) $((height / 2)) click 5 click 5 click 5 2>>"$WORK/xdotool.log"
click_widget "$ABOUT" about OK
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
"$MORAVEL_BUILD_DIR/tests/close_window" "$ABOUT"
expect_closed "the close box"
open_about
expect_first_look

note "OK on the main window ends the program while About is open"
quit_with_ok

note "no program to open a link: a message box, and the About text stays"
env PATH="$WORK/empty" "$MORAVEL_BIN" > "$WORK/stdout" 2> "$WORK/stderr" &
APP_PID=$!
MAIN=$(find_window "$MAIN_TITLE" 60) || fail "main window did not appear"
open_about
wait_until 5 drawn || fail "the About document was not drawn"
cp "$WORK/look.png" "$WORK/about.png"
click_link 2
alert=$(find_window '^Link not opened$' 10) || fail "no message box for a link no program could open"
import -window root "$WORK/link-alert.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/link-alert.png" "$MORAVEL_SHOTS/about-link-alert.png"
key "$alert" Return
wait_gone '^Link not opened$' 5 || fail "the message box stayed open"
expect_first_look
[ "$(wc -l < "$WORK/opened.txt")" -eq 3 ] || fail "a helper outside PATH was run"
quit_with_ok
note "passed"
