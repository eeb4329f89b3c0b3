# Shared steps of the window scripts: an own virtual display, the program, its windows.
# Sourced by test_*.sh; not a test itself.

MAIN_TITLE="Moravel by Tobrin (v${MORAVEL_VERSION:?the version comes from ctest})"
# Button centres in main-window coordinates (OK, Print and About under the groups).
OK_AT=(670 735)
PRINT_AT=(575 735)
ABOUT_AT=(480 735)

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

require_tools() {
    local tool
    for tool in Xvfb xdotool import compare gs cc "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
    done
    MORAVEL="${MORAVEL_BUILD_DIR:?}/moravel"
    [ -x "$MORAVEL" ] || { echo "SKIP: no window program at $MORAVEL"; exit 77; }
}

# A private display of the given size, so that parallel tests never see each other's windows.
start_display() {
    WORK=$(mktemp -d)
    exec 5>"$WORK/displayfd"
    Xvfb -displayfd 5 -screen 0 "$1x$2x24" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$WORK/displayfd" ] && break
        sleep 0.05
    done
    exec 5>&-
    [ -s "$WORK/displayfd" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$WORK/displayfd")"
    # Toolkit dialogs may remember things in the home folder: keep that out of the real one.
    export HOME="$WORK/home"
    mkdir -p "$HOME/.local/share"
    trap cleanup EXIT
}

cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if [ -n "${KEEP_WORK:-}" ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}

start_app() {
    LSAN_OPTIONS="suppressions=$(dirname "${BASH_SOURCE[0]}")/toolkit_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        "$MORAVEL" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    MAIN=$(wait_window "^${MAIN_TITLE//[()]/.}\$" 60) || fail "main window did not appear"
    # Let it map and draw before the first click.
    sleep 0.5
}

# Prints the id of the one visible window whose name matches; waits up to $2 seconds.
wait_window() {
    local pattern=$1 seconds=${2:-10} i ids
    for i in $(seq $((seconds * 20))); do
        ids=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null)
        if [ -n "$ids" ]; then echo "$ids" | head -n1; return 0; fi
        sleep 0.05
    done
    return 1
}

# Waits until no visible window's name matches.
wait_gone() {
    local pattern=$1 seconds=${2:-10} i
    for i in $(seq $((seconds * 20))); do
        [ -z "$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null)" ] && return 0
        sleep 0.05
    done
    return 1
}

count_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l
}

click() {  # window x y
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>>"$WORK/xdotool.log"
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

window_position() {  # prints "x y" of a window's top-left corner
    xdotool getwindowgeometry "$1" | awk '/Position:/ { split($2, p, ","); print p[1], p[2] }'
}

window_size() {
    xdotool getwindowgeometry "$1" | awk '/Geometry:/ { split($2, s, "x"); print s[1], s[2] }'
}

app_alive() {
    kill -0 "$APP_PID" 2>/dev/null
}

# Ends the program with its OK button and checks that it exits with status 0.
quit_with_ok() {
    click "$MAIN" "${OK_AT[@]}"
    local i
    for i in $(seq 200); do
        app_alive || break
        sleep 0.05
    done
    app_alive && fail "OK did not end the program"
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=
    [ "$status" -eq 0 ] || fail "exit status $status after OK"
}
