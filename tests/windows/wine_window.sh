# Helpers of the Wine scripts that use the window program as a person would (sourced after
# tests/support/x_session.sh; MAIN is the main window's id where they need it).

shot() {  # WINDOW NAME: a screenshot in the work folder, and in MORAVEL_SHOTS when it is set
    import -window "$1" "$WORK/$2.png" 2>/dev/null || fail "no screenshot of $2"
    [ -z "${MORAVEL_SHOTS:-}" ] || cp "$WORK/$2.png" "$MORAVEL_SHOTS/wine-$2.png"
}

# Keys go where the pointer is (there is no window manager), so the pointer goes there first.
press_in() {  # WINDOW KEYS...
    xdotool mousemove --window "$1" 20 10 key --clearmodifiers "${@:2}" 2>>"$WORK/xdotool.log"
}

start_exe() {  # EXE ARGS...: the program under Wine, its output in files
    wine "$@" >"$WORK/stdout" 2>"$WORK/stderr" &
    APP_PID=$!
}

menu_shown() {  # the popup menu: the one override-redirect window larger than Wine's 1 x 1 helper
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xwininfo -id "$w" | awk '/Width:/ { w = $2 } /Override Redirect State: yes/ { o = 1 } END { exit !(o && w > 1) }' &&
            return 0
    done
    return 1
}

menu_item() {  # N: the share menu's item N, by keyboard
    xdotool mousemove --window "$MAIN" 362 377 click 3 2>>"$WORK/xdotool.log"
    wait_until 30 menu_shown || fail "no menu after a right click"
    xdotool key $(printf 'Down %.0s' $(seq "$1")) Return
    wait_until 30 eval '! menu_shown' || fail "the menu stayed open"
}

# Bounded: an owner that does not answer leaves xclip waiting.
clipboard_holds() { timeout 5 xclip -o -selection clipboard 2>/dev/null >held.txt && cmp -s "$1" held.txt; }

# Ends the program with OK or Escape and expects status 0.
end_with() {  # ok|escape
    if [ "$1" = ok ]; then click_widget "$MAIN" main OK; else press_in "$MAIN" Escape; fi
    wait_for_exit 30
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after $1, wanted 0"
    wait_gone "$MAIN_TITLE" 10 || fail "the main window stayed after $1"
}
