#!/usr/bin/env bash
# As a user of a machine that reports version 6.2: the notice box "Information" comes first,
# with no wait window; after it is dismissed the main window appears and closes with status 0.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
start_display

MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/app_notice.json" start_program
notice=$(find_window '^Information$') || fail "the notice box did not appear"
[ "$(head -n1 "$WORK/stdout")" = $'6\t2' ] || fail "version line '$(head -n1 "$WORK/stdout")', wanted 6, tab, 2"
[ -z "$(xdotool search --onlyvisible --name 'Retrieving system information|^Moravel by' 2>/dev/null)" ] ||
    fail "another window is shown with the notice"
echo "ok: notice box first, version line 6<tab>2, no wait window"

xdotool windowfocus --sync "$notice" key Return
main=$(find_window '^Moravel by Tobrin') || fail "main window did not follow the notice"
[ -z "$(xdotool search --onlyvisible --name '^Information$' 2>/dev/null)" ] || fail "the notice box stayed"
[ -z "$(xdotool search --name 'Retrieving system information' 2>/dev/null)" ] || fail "a wait window was made"
echo "ok: main window after the notice"

xdotool windowfocus --sync "$main" key Escape
wait_for_exit
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Escape, wanted 0"
echo "ok: notice mode ends with status 0"
