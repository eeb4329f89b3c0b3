#!/usr/bin/env bash
# As a user: each way of closing the main window ends the program with status 0.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
start_display

# Starts the program, waits for its main window and gives it the focus.
open_main_window() {
    start_app
    xdotool windowfocus --sync "$MAIN" || fail "cannot focus the main window"
}

expect_exit_zero() {
    wait_for_exit
    [ "$EXIT_STATUS" = 0 ] || fail "$1: exit status $EXIT_STATUS, wanted 0"
    expect_version_line
    echo "ok: $1"
}

open_main_window
click_widget "$MAIN" main OK
expect_exit_zero "OK button"

open_main_window
xdotool key Return  # OK is the return button
expect_exit_zero "Enter key"

open_main_window
xdotool key Escape
expect_exit_zero "Escape key"

open_main_window
"$MORAVEL_BUILD_DIR/tests/close_window" "$MAIN" || fail "cannot send the close message"
expect_exit_zero "close box (WM_DELETE_WINDOW)"

# An open About window does not hold the program back.
open_main_window
click_widget "$MAIN" main About
find_window '^About Moravel$' >/dev/null || fail "the About window did not open"
click_widget "$MAIN" main OK
expect_exit_zero "OK button with the About window open"

# The same message to a window that ignores it would leave the program running: make sure the
# waits above could fail at all.
open_main_window
wait_for_exit 2
[ "$EXIT_STATUS" = running ] || fail "the program ended on its own with status $EXIT_STATUS"
echo "ok: stays open until closed"
