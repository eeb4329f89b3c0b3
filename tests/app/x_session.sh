# Shared by the window scripts: a private X display per script (tests run in parallel), the
# program started on it, and its main window found. Source it; call start_display first.

: "${MORAVEL_BUILD_DIR:?}" "${MORAVEL_SOURCE_DIR:?}"
MORAVEL_BIN="$MORAVEL_BUILD_DIR/moravel"
WORK_DIR=$(mktemp -d)
XVFB_PID=""
APP_PID=""
# The test build runs with LeakSanitizer; fontconfig's caches are not the program's leaks.
export LSAN_OPTIONS="suppressions=$MORAVEL_SOURCE_DIR/tests/app/lsan.supp:print_suppressions=0"

finish_session() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$WORK_DIR"
}
trap finish_session EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK_DIR/stderr" ] && sed 's/^/  program stderr: /' "$WORK_DIR/stderr" >&2
    exit 1
}

# A fresh Xvfb on a free display number; DISPLAY points to it.
start_display() {
    command -v Xvfb >/dev/null || { echo "SKIP: no Xvfb"; exit 77; }
    [ -x "$MORAVEL_BIN" ] || { echo "SKIP: $MORAVEL_BIN not built"; exit 77; }
    exec 5> "$WORK_DIR/display"
    Xvfb -displayfd 5 -screen 0 "${1:-1920x1080x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    exec 5>&-
    for _ in $(seq 100); do
        [ -s "$WORK_DIR/display" ] && break
        sleep 0.1
    done
    [ -s "$WORK_DIR/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$WORK_DIR/display")"
}

# A small recorded machine (version 6.1), so that what the window shows does not depend on the
# machine the tests run on; a script may name another.
: "${MORAVEL_SNAPSHOT:=$MORAVEL_SOURCE_DIR/tests/data/app_window.json}"
export MORAVEL_SNAPSHOT

# Starts the program with stdout and stderr in files; extra arguments go to the program.
start_program() {
    "$MORAVEL_BIN" "$@" > "$WORK_DIR/stdout" 2> "$WORK_DIR/stderr" &
    APP_PID=$!
}

# Prints the id of the visible window whose title matches the pattern, waiting up to 30 s.
find_window() {
    local id=""
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits up to $1 seconds (10 unless given) for the program to end; EXIT_STATUS is its exit
# status, or "running".
wait_for_exit() {
    EXIT_STATUS=running
    for _ in $(seq $((${1:-10} * 10))); do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$APP_PID" || EXIT_STATUS=$?
            APP_PID=""
            return
        fi
        sleep 0.1
    done
}

# The program's first output line is the version line of the snapshot: 6, tab, 1.
expect_version_line() {
    local first
    first=$(head -n1 "$WORK_DIR/stdout")
    [ "$first" = $'6\t1' ] || fail "first output line is not the version line 6<tab>1: '$first'"
}
