#!/usr/bin/env bash
# As a user: moravel --help and --version print ours without a display; an unknown option is one
# line and status 2; --snapshot FILE, and a file given alone as a file manager passes it, show
# that machine (before MORAVEL_SNAPSHOT); the toolkit's own options still shape the window; a
# snapshot that cannot be used is told in a message box, then the program ends with status 2.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools xclip
REPORT="$MORAVEL_BUILD_DIR/moravel-report"
DESKTOP="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"

# No display: what is printed needs none.
run_headless() { env -u DISPLAY "$MORAVEL_BIN" "$@" > "$WORK/stdout" 2> "$WORK/stderr"; STATUS=$?; }
run_headless --help
[ "$STATUS" = 0 ] && head -n1 "$WORK/stdout" | grep -q '^Usage: moravel ' && grep -q -- '--snapshot FILE' "$WORK/stdout" ||
    fail "--help: status $STATUS, $(head -n1 "$WORK/stdout")"
[ ! -s "$WORK/stderr" ] || fail "--help wrote on standard error"
run_headless --version
[ "$STATUS" = 0 ] && [ "$(cat "$WORK/stdout")" = "moravel $MORAVEL_VERSION" ] || fail "--version: $(cat "$WORK/stdout")"
echo "ok: --help and --version print ours, status 0, without a display"
for bad in --bogus -bogus "a.json b.json"; do
    # shellcheck disable=SC2086
    run_headless $bad
    [ "$STATUS" = 2 ] && [ "$(wc -l < "$WORK/stderr")" = 1 ] && [ ! -s "$WORK/stdout" ] ||
        fail "'$bad': status $STATUS, stderr: $(cat "$WORK/stderr")"
done
echo "ok: an unknown option or a second file: one line ($(cat "$WORK/stderr")), status 2"

start_display 1280x1024x24
"$REPORT" --snapshot "$DESKTOP" > "$WORK/desktop.txt"
# Copy report (Ctrl+Shift+C) of the window titled $1 equals the report of $DESKTOP.
expect_desktop_shown() {
    MAIN=$(find_window "$1") || fail "$2: no main window"
    xdotool windowfocus --sync "$MAIN" 2>/dev/null
    press ctrl+shift+c
    wait_until 5 eval 'xclip -o -selection clipboard 2>/dev/null | cmp -s - "$WORK/desktop.txt"' ||
        fail "$2: the window does not show desktop.json"
}
start_program --snapshot "$DESKTOP"
expect_desktop_shown "$MAIN_TITLE" "--snapshot FILE"
stop_program
start_program "$DESKTOP"
expect_desktop_shown "$MAIN_TITLE" "a file given alone"
stop_program
echo "ok: --snapshot FILE and a file given alone show that machine, not MORAVEL_SNAPSHOT's"

start_program -geometry 800x820+10+20 -title 'Moravel test' --snapshot="$DESKTOP"
expect_desktop_shown '^Moravel test$' "with the toolkit's options"
[ "$(window_size "$MAIN")" = "800 820" ] || fail "-geometry: the window is $(window_size "$MAIN")"
stop_program
echo "ok: the toolkit's -geometry and -title apply beside our --snapshot=FILE"

# A snapshot that cannot be used: a message box with the reason, the "@" in its name as it is
# (the screenshot shows it), the same line on standard error, status 2, no version test.
expect_refused() {
    local box
    box=$(find_window '^Snapshot not opened$' 10) || fail "$2: no message box"
    import -window root "$WORK/refused.png"
    [ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/refused.png" "$MORAVEL_SHOTS/snapshot-refused.png"
    xdotool windowfocus --sync "$box" 2>/dev/null
    press Return
    wait_for_exit
    [ "$EXIT_STATUS" = 2 ] || fail "$2: exit status $EXIT_STATUS, wanted 2"
    [ "$(wc -l < "$WORK/stderr")" = 1 ] && grep -qF "$1" "$WORK/stderr" || fail "$2: stderr: $(cat "$WORK/stderr")"
    [ ! -s "$WORK/stdout" ] || fail "$2: the version test ran"
    echo "ok: $2: a message box, then status 2: $(cat "$WORK/stderr")"
}
start_program "$WORK/no@such/pc@home.json"
expect_refused "no@such/pc@home.json" "a missing file given alone"
printf '{ "classes": ' > "$WORK/cut-short.json"
MORAVEL_SNAPSHOT="$WORK/cut-short.json" start_program
expect_refused "cut-short.json" "MORAVEL_SNAPSHOT naming a cut-short file"

# Without a display for the box the line on standard error remains, and the status.
run_headless --snapshot "$WORK/missing.json"
[ "$STATUS" = 2 ] && grep -q 'missing.json' "$WORK/stderr" || fail "no display: status $STATUS, $(cat "$WORK/stderr")"
echo "ok: without a display an unusable snapshot is one line on standard error and status 2"
