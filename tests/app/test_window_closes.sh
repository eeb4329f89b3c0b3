#!/usr/bin/env bash
# As a user: each way of closing the main window ends the program with status 0.
set -u
source "$(dirname "$0")/x_session.sh"
start_display
cc -o "$WORK_DIR/send_close" "$MORAVEL_SOURCE_DIR/tests/app/send_close.c" -lX11 || fail "cannot build send_close"

# Starts the program, waits for its main window, lets it settle, prints the window id.
open_main_window() {
    start_program
    WINDOW=$(find_window '^Moravel by Tobrin') || fail "main window did not appear"
    xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the main window"
}

expect_exit_zero() {
    wait_for_exit
    [ "$EXIT_STATUS" = 0 ] || fail "$1: exit status $EXIT_STATUS, wanted 0"
    expect_version_line
    echo "ok: $1"
}

open_main_window
xdotool mousemove --window "$WINDOW" 670 735 click 1  # the OK button
expect_exit_zero "OK button"

open_main_window
xdotool key Return  # OK is the return button
expect_exit_zero "Enter key"

open_main_window
xdotool key Escape
expect_exit_zero "Escape key"

open_main_window
"$WORK_DIR/send_close" "$WINDOW" || fail "cannot send the close message"
expect_exit_zero "close box (WM_DELETE_WINDOW)"

# An open About window does not hold the program back.
open_main_window
xdotool mousemove --window "$WINDOW" 480 735 click 1  # the About button
find_window '^About Moravel$' >/dev/null || fail "the About window did not open"
xdotool mousemove --window "$WINDOW" 670 735 click 1
expect_exit_zero "OK button with the About window open"

# The same message to a window that ignores it would leave the program running: make sure the
# waits above could fail at all.
open_main_window
wait_for_exit 2
[ "$EXIT_STATUS" = running ] || fail "the program ended on its own with status $EXIT_STATUS"
echo "ok: stays open until closed"
