# Shared by the window scripts (source it; it is not a test): a private X display per script
# (tests run in parallel), the program started on it, its windows found, clicked and closed.
# Every wait polls what it waits for and gives up after a bounded time; nothing sleeps blindly.

: "${MORAVEL_BUILD_DIR:?}" "${MORAVEL_SOURCE_DIR:?}" "${MORAVEL_VERSION:?}"
MORAVEL_BIN="$MORAVEL_BUILD_DIR/moravel"
MAIN_TITLE="^Moravel by Tobrin \\(v${MORAVEL_VERSION//./\\.}\\)\$"
WORK=$(mktemp -d)
XVFB_PID=""
APP_PID=""
# The test build runs with LeakSanitizer; the toolkit's libraries keep caches until the end.
export LSAN_OPTIONS="suppressions=$MORAVEL_SOURCE_DIR/tests/support/lsan.supp:print_suppressions=0"
# A small recorded machine (version 6.1), so that what the window shows does not depend on the
# machine the tests run on; a script may name another.
: "${MORAVEL_SNAPSHOT:=$MORAVEL_SOURCE_DIR/tests/data/app_window.json}"
export MORAVEL_SNAPSHOT

finish_session() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    if [ -n "${KEEP_WORK:-}" ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap finish_session EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -s "$WORK/stderr" ] && sed 's/^/  program stderr: /' "$WORK/stderr" >&2
    exit 1
}
note() { echo "-- $*"; }

# Skips the script (status 77) unless the program and the named tools are there.
require_tools() {
    local tool
    for tool in Xvfb xdotool "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
    done
    [ -x "$MORAVEL_BIN" ] || { echo "SKIP: $MORAVEL_BIN not built"; exit 77; }
}

# Polls a command every 50 ms until it succeeds; fails after $1 seconds.
wait_until() {
    local ticks=$(($1 * 20))
    shift
    while ! "$@"; do
        ((ticks-- > 0)) || return 1
        sleep 0.05
    done
}

# A fresh Xvfb of the given size (1920x1080x24 unless given) on a free display number.
start_display() {
    require_tools
    [ -n "$XVFB_PID" ] && { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; }
    rm -f "$WORK/display"
    exec 5> "$WORK/display"
    Xvfb -displayfd 5 -screen 0 "${1:-1920x1080x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    exec 5>&-
    wait_until 10 test -s "$WORK/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$WORK/display")"
    # Toolkit dialogs may remember things in the home folder: keep that out of the real one.
    export HOME="$WORK/home"
    mkdir -p "$HOME/.local/share"
}

# Starts the program with stdout and stderr in files; extra arguments go to the program.
start_program() {
    "$MORAVEL_BIN" "$@" > "$WORK/stdout" 2> "$WORK/stderr" &
    APP_PID=$!
}

app_alive() { kill -0 "$APP_PID" 2>/dev/null; }

# Ends the program if it still runs.
stop_program() {
    [ -n "$APP_PID" ] && { kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; }
    APP_PID=""
}

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
shown_or_ended() { [ -n "$(visible_window "$1")" ] || ! app_alive; }

# Prints the id of the visible, mapped window whose title matches; waits up to $2 seconds (30),
# or until the program ends.
find_window() {
    local id
    wait_until "${2:-30}" shown_or_ended "$1" || return 1
    id=$(visible_window "$1")
    [ -n "$id" ] && wait_until 5 is_viewable "$id" && echo "$id"
}

window_gone() { [ -z "$(visible_window "$1")" ]; }
# Waits up to $2 seconds (10) until no visible window's title matches.
wait_gone() { wait_until "${2:-10}" window_gone "$1"; }

count_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# Waits up to $1 seconds (10 unless given) for the program to end; EXIT_STATUS is its exit
# status, or "running".
wait_for_exit() {
    EXIT_STATUS=running
    wait_until "${1:-10}" eval '! app_alive' || return 0
    EXIT_STATUS=0
    wait "$APP_PID" || EXIT_STATUS=$?
    APP_PID=""
}

# The program's first output line is the version line of the snapshot: 6, tab, 1.
expect_version_line() {
    local first
    first=$(head -n1 "$WORK/stdout")
    [ "$first" = $'6\t1' ] || fail "first output line is not the version line 6<tab>1: '$first'"
}

# Where the program puts a button or field, read from the program itself: "x y" of its centre
# in its window. $1 is "main" or "about", $2 the widget's label.
widget_at() {
    [ -s "$WORK/widgets" ] || "$MORAVEL_BUILD_DIR/tests/widget_positions" > "$WORK/widgets" ||
        fail "cannot read the widget positions"
    awk -v w="$1" -v l="$2" '{ label = $0; sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", label) }
        $1 == w && label == l { print $2, $3; found = 1; exit } END { exit !found }' "$WORK/widgets" ||
        fail "no widget '$2' in the $1 window"
}

# Starts the program and waits until its main window is mapped; MAIN is its id.
start_app() {
    start_program "$@"
    MAIN=$(find_window "$MAIN_TITLE" 60) || fail "main window did not appear"
}

click() {  # window x y
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>>"$WORK/xdotool.log"
}

click_widget() {  # window-id main|about label
    local at
    at=$(widget_at "$2" "$3") || exit 1
    # shellcheck disable=SC2086
    click "$1" $at
}

# xdotool complains when a key closes its window before it has finished; the effect is what
# the scripts check, so its complaints go to a log.
key() {  # window keys...
    local window=$1
    shift
    xdotool key --window "$window" "$@" 2>>"$WORK/xdotool.log" || true
}

type_text() {  # window text
    xdotool type --window "$1" --delay 10 "$2" 2>>"$WORK/xdotool.log" || true
}

# "x y w h" of a window, from the X server.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                              /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
window_position() { window_geometry "$1" | cut -d' ' -f1,2; }
window_size() { window_geometry "$1" | cut -d' ' -f3,4; }

# Ends the program with its OK button and checks that it exits with status 0.
quit_with_ok() {
    click_widget "$MAIN" main OK
    wait_for_exit 10
    [ "$EXIT_STATUS" = running ] && fail "OK did not end the program"
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after OK"
}

# ---- the share menu, by keyboard, and the toolkit's file chooser ----------------------------

press() { xdotool key --clearmodifiers "$@" 2>/dev/null; }
# The popup menu (or a tooltip) is an override-redirect window, the only kind the program shows.
menu_shown() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
# Right click in the middle of the main window, MAIN.
open_menu() {
    local width height
    read -r width height < <(window_size "$MAIN")
    xdotool mousemove --window "$MAIN" $((width / 2)) $((height / 2)) click 3 2>/dev/null
    wait_until 5 menu_shown || fail "no menu after a right click"
}
# The menu's item number $1, by keyboard.
menu_item() {
    open_menu
    local i
    for i in $(seq "$1"); do press Down; done
    press Return
    wait_until 5 eval '! menu_shown' || fail "the menu stayed open"
}
# Types a full path into the file chooser titled $1 and confirms it.
choose_file() {
    local dialog
    dialog=$(find_window "^$1\$") || fail "no '$1' dialog"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    press ctrl+a
    xdotool type --delay 5 "$2" 2>/dev/null
    press Return
    wait_gone "^$1\$" 10 || fail "the '$1' dialog stayed open"
}
