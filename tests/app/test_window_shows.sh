#!/usr/bin/env bash
# As a user: the program starts, prints its version line, shows the main window centred (short
# on a small screen) with the program icon in 32 x 32 and 16 x 16, and refuses an unusable
# snapshot before opening any window.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"

# The icon sizes and pixels as _NET_WM_ICON lists them: width, height, then ARGB per pixel.
png_as_net_wm_icon() {
    local size
    size=$(identify -format '%w %h' "$1")
    printf '%s\n' $size
    convert "$1" -depth 8 rgba:- | od -An -tu1 -v | tr -s ' ' '\n' | grep -v '^$' |
        awk '{v[n++]=$1} END{for(i=0;i<n;i+=4) printf "%.0f\n", v[i+3]*16777216+v[i]*65536+v[i+1]*256+v[i+2]}'
}

check_icons() {
    local icons="$MORAVEL_SOURCE_DIR/resources/icons"
    xprop -id "$1" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no 32 x 32 icon"
    xprop -id "$1" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "no 16 x 16 icon"
    xprop -id "$1" -notype -f _NET_WM_ICON 32c ' = $0+' _NET_WM_ICON | sed 's/^[^=]*= //' | tr -d ' ' |
        tr ',' '\n' > "$WORK/icon.txt"
    echo >> "$WORK/icon.txt"
    { png_as_net_wm_icon "$icons/moravel-32.png"; png_as_net_wm_icon "$icons/moravel-16.png"; } > "$WORK/png.txt"
    cmp -s "$WORK/icon.txt" "$WORK/png.txt" || fail "window icon pixels differ from the program icon"
    echo "ok: icons 32 x 32 and 16 x 16, pixels as in resources/icons"
}

# The main window on a screen of the given size: expected "x y w h".
check_main_window() {
    start_display "$1"
    start_program
    local window
    window=$(find_window "$MAIN_TITLE") || fail "main window did not appear on $1"
    expect_version_line
    local at
    at=$(window_geometry "$window")
    [ "$at" = "$2" ] || fail "main window at '$at' on $1, wanted '$2'"
    [ -z "$(xdotool search --onlyvisible --name 'Retrieving system information' 2>/dev/null)" ] ||
        fail "the wait window is still shown"
    echo "ok: main window at $at on $1"
}

# The smallest size the window asks the window manager for: "W by H".
check_minimum_size() {
    local hint
    hint=$(xprop -id "$(find_window "$MAIN_TITLE")" WM_NORMAL_HINTS | sed -n 's/.*program specified minimum size: //p')
    [ "$hint" = "$1" ] || fail "minimum size '$hint', wanted '$1'"
    echo "ok: the window cannot be made smaller than $1"
}

check_main_window 1920x1080x24 "598 163 725 755"
check_icons "$(find_window '^Moravel by Tobrin')"
check_minimum_size "725 by 690"
stop_program
# A work area smaller than that is the limit itself.
start_display 640x480x24
start_app
check_minimum_size "640 by 480"
stop_program

# Under 800 pixels high the window is shortened to 690 but still placed by the 377 offset.
check_main_window 1280x799x24 "278 22 725 690"
stop_program
check_main_window 1280x800x24 "278 23 725 755"
stop_program

# A snapshot that is missing or not a snapshot: a message box with one line naming the file
# (the same line on stderr), then status 2; no version test, no other window.
expect_refused_snapshot() {
    MORAVEL_SNAPSHOT="$1" start_program
    local box
    box=$(find_window '^Snapshot not opened$' 10) || fail "snapshot $1: no message box"
    [ "$(xdotool search --onlyvisible --name 'Moravel|Retrieving' 2>/dev/null)" = "" ] ||
        fail "snapshot $1: another window was opened"
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key Return
    wait_for_exit
    [ "$EXIT_STATUS" = 2 ] || fail "snapshot $1: exit status $EXIT_STATUS, wanted 2"
    [ "$(grep -vc '^$' "$WORK/stderr")" = 1 ] || fail "snapshot $1: wanted one line on stderr"
    grep -qF "$2" "$WORK/stderr" || fail "snapshot $1: the message does not name the file"
    [ ! -s "$WORK/stdout" ] || fail "snapshot $1: the version test ran"
    echo "ok: $(basename "$1"): a message box, then status 2: $(cat "$WORK/stderr")"
}
expect_refused_snapshot "$WORK/no-such-snapshot.json" no-such-snapshot.json
printf '{ "classes": ' > "$WORK/cut-short.json"
expect_refused_snapshot "$WORK/cut-short.json" cut-short.json
# A name holding a line feed and an 8-bit CSI is still one line, with both shown escaped.
expect_refused_snapshot "$WORK/line"$'\n'"feed"$'\x9b'"2J.json" 'line\x0Afeed\x9B2J.json'
