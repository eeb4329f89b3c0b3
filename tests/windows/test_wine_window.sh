#!/usr/bin/env bash
# The window program for Windows under Wine, used as a person would, on a private X display with
# one Wine prefix and server for every case:
#   zip          the zip holds both programs (test_wine.sh checks their resources)
#   wait window  the bar stands at 25, 50, 75 and 100 % while the build goes on behind each step,
#                and all four come before the main window (moravel-wait-probe.exe; screenshots)
#   notice       with Windows reporting 6.2 the Information box comes first and alone
#   fields       all 38 fields, selected and copied, read back from the X clipboard, against
#                moravel-report.exe: for every snapshot in tests/data (where the Linux report
#                must say the same) and on the live Wine machine
#   buttons      OK and Escape end with status 0; About opens one window however often it is
#                clicked; Print opens the system's dialog, which is cancelled, and the window
#                goes on working
#   share menu   Copy report and the hide switch against moravel-report.exe and its --redact;
#                Save report through the Windows file dialog against its --output
# Every wait is for an event and bounded. Wine's children write to files, never to a pipe: its
# server inherits the pipe and keeps it open.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
windows_build=${MORAVEL_WINDOWS_BUILD_DIR:-$MORAVEL_SOURCE_DIR/build-windows}
for exe in moravel.exe moravel-report.exe moravel-wait-probe.exe; do
    [ -f "$windows_build/$exe" ] || { echo "skipped: $windows_build/$exe is not built (make windows)"; exit 77; }
done
command -v wine >/dev/null || { echo "skipped: wine is not installed"; exit 77; }
require_tools import jq
pass() { echo "ok: $*"; }
source "$MORAVEL_SOURCE_DIR/tests/windows/wine_checks.sh"
source "$MORAVEL_SOURCE_DIR/tests/windows/wine_window.sh"
COPY_FIELDS="$MORAVEL_BUILD_DIR/tests/copy_fields"
DATA="$MORAVEL_SOURCE_DIR/tests/data"

export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; finish_session' EXIT
cp "$windows_build"/moravel{,-report,-wait-probe}.exe "$WORK/"
cd "$WORK" || exit 1
version_line() { tr -d '\r' <"$WORK/stdout" | head -n1; }

# Where the 38 fields are, from the program's own layout, in the order the report lists them.
field_positions() {
    "$MORAVEL_BUILD_DIR/tests/widget_positions" >"$WORK/widgets" || fail "cannot read the widget positions"
    awk '$1 == "main" && !/ (OK|Print|About)$/ { print $2, $3 }' "$WORK/widgets" >fields.pos
    [ "$(wc -l <fields.pos)" = 38 ] || fail "$(wc -l <fields.pos) fields in the layout, wanted 38"
}

# The 38 texts of the shown main window, each selected, copied and read from the X clipboard.
read_fields() {  # OUT
    "$COPY_FIELDS" "$MAIN" <fields.pos >"$1" 2>copy.err || fail "reading the fields: $(cat copy.err)"
}

report_texts() {  # JSON OUT: the 38 texts of a --json report
    jq -r '.groups[].fields[].text' "$1" >"$2"
    [ "$(wc -l <"$2")" = 38 ] || fail "$1 holds $(wc -l <"$2") texts"
}

# The fields against the report, line by line, the captions shown with a difference.
expect_same_texts() {  # NAME WINDOW REPORT-JSON
    report_texts "$3" report.texts
    cmp -s "$2" report.texts && return
    jq -r '.groups[].fields[].label' "$3" >labels
    fail "$1: the window differs from the report: $(diff <(paste -d' ' labels "$2") <(paste -d' ' labels report.texts))"
}

# What make windows packs; test_wine.sh checks the resources of both programs.
check_zip() {
    local zip
    zip=$(ls "$windows_build"/moravel-*-windows-x64.zip 2>/dev/null) || fail "make windows packed no zip"
    [ "$(cmake -E tar tf "$zip" | grep -c -E '/moravel(-report)?\.exe$')" = 2 ] || fail "$zip lacks a program"
    pass "$(basename "$zip") holds both programs"
}

# --- the wait window --------------------------------------------------------------------------

# The bar's middle row, one "r g b" line per pixel, from a screenshot of the wait window.
bar_pixels() { convert "$1" -crop 380x1+10+18 -depth 8 rgb:- | od -An -tu1 -v | tr -s ' \n' '\n' | grep . | paste - - -; }

# The bar of a screenshot filled to PERCENT (its fill, a light teal, ends within 4 pixels of
# that share of its 380), with a label drawn on it.
expect_bar() {  # SCREENSHOT PERCENT
    local filled dark
    filled=$(bar_pixels "$1" | awk '$2 > $1 + 25 && $3 > $1 + 25 { n++ } END { print n + 0 }')
    [ $((filled - 380 * $2 / 100)) -le 4 ] && [ $((380 * $2 / 100 - filled)) -le 4 ] ||
        fail "at $2 % the bar is filled $filled pixels of 380"
    dark=$(convert "$1" -crop 380x20+10+15 -depth 8 rgb:- | od -An -tu1 -v | tr -s ' \n' '\n' | grep . |
        paste - - - | awk '$1 + $2 + $3 < 150 { n++ } END { print n + 0 }')
    [ "$dark" -gt 10 ] || fail "no label on the bar at $2 %"
}

steps_reached() { [ -f steps ] && [ "$(grep -c . steps)" -ge "$1" ]; }

check_wait_window() {
    export MORAVEL_SNAPSHOT="$DATA/app_window.json"
    start_exe moravel-wait-probe.exe steps
    local n=0 percent wait
    for percent in 25 50 75 100; do
        n=$((n + 1))
        wait_until 60 steps_reached "$n" || fail "the build never reached $percent %"
        [ "$(sed -n "${n}p" steps)" = "$(awk -v p="$percent" 'BEGIN { printf "%.6f %d %%", p / 100, p }')" ] ||
            fail "step $n is '$(sed -n "${n}p" steps)', wanted $percent %"
        [ -z "$(visible_window "$MAIN_TITLE")" ] || fail "the main window is shown before $percent %"
        wait=$(visible_window '^Retrieving system information') || true
        [ -n "$wait" ] || fail "no wait window at $percent %"
        shot "$wait" "wait-$percent"
        expect_bar "$WORK/wait-$percent.png" "$percent"
        touch "steps.$n"
    done
    wait_until 60 eval "grep -qx shown steps" || fail "no main window after 100 %"
    [ -n "$(visible_window "$MAIN_TITLE")" ] || fail "start-up ended with no main window shown"
    [ -z "$(visible_window '^Retrieving system information')" ] || fail "the wait window stays with the main window"
    touch "steps.$((n + 1))"
    wait_for_exit 30
    pass "the wait window shows 25, 50, 75 and 100 % in turn while the build goes on, then the main window"
}

# --- notice, buttons and the share menu --------------------------------------------------------

# A snapshot without the version it recorded, so that the version Wine reports decides.
check_notice_at_6_2() {  # SNAPSHOT
    jq 'del(.osVersion)' "$1" >unversioned.json
    cp moravel.exe moravel-win8.exe
    wine reg add 'HKCU\Software\Wine\AppDefaults\moravel-win8.exe' /v Version /d win8 /f >reg.out 2>&1
    export MORAVEL_SNAPSHOT=$WORK/unversioned.json
    start_exe moravel-win8.exe
    local notice
    notice=$(find_window '^Information$' 60) || fail "no notice box at Windows 6.2"
    [ "$(version_line)" = $'6\t2' ] || fail "version line '$(version_line)' at Windows 6.2"
    [ -z "$(xdotool search --onlyvisible --name 'Retrieving system information|^Moravel by' 2>/dev/null)" ] ||
        fail "another window is shown with the notice box"
    shot "$notice" notice
    press_in "$notice" Return
    MAIN=$(find_window "$MAIN_TITLE" 60) || fail "no main window after the notice"
    [ -z "$(xdotool search --name 'Retrieving system information' 2>/dev/null)" ] || fail "a wait window was made in notice mode"
    pass "Windows 6.2: the notice box first and alone, then the main window"
}

check_about() {
    local clicks about
    for clicks in 1 2 3; do click_widget "$MAIN" main About; done
    about=$(find_window '^About Moravel$' 30) || fail "About opened no window"
    # The clicks are handled in turn: once a field copied after them arrives, all three have been.
    head -n1 fields.pos | "$COPY_FIELDS" "$MAIN" >/dev/null 2>copy.err || fail "the window stopped answering: $(cat copy.err)"
    [ "$(count_windows '^About Moravel$')" = 1 ] || fail "$(count_windows '^About Moravel$') About windows after three clicks"
    shot "$about" about
    click_widget "$about" about OK
    wait_gone '^About Moravel$' 10 || fail "About's OK left it open"
    click_widget "$MAIN" main About
    about=$(find_window '^About Moravel$' 30) || fail "About did not open again"
    press_in "$about" Escape
    wait_gone '^About Moravel$' 10 || fail "Escape left About open"
    pass "About opens one window for three clicks, closes with OK and Escape, and opens again"
}

check_print() {  # FIRST-FIELD-TEXT
    click_widget "$MAIN" main Print
    local dialog
    dialog=$(find_window '^Print$' 60) || fail "Print opened no dialog"
    shot "$dialog" print
    press_in "$dialog" Escape
    wait_gone '^Print$' 30 || fail "the print dialog stayed open"
    head -n1 fields.pos | "$COPY_FIELDS" "$MAIN" >again.txt 2>copy.err || fail "the window stopped answering after Print"
    [ "$(cat again.txt)" = "$1" ] || fail "after Print the first field reads '$(cat again.txt)'"
    pass "Print opens the system's dialog; cancelled, the window goes on working"
}

check_share_menu() {
    run_wine plain.txt moravel-report.exe || fail "moravel-report.exe: $(cat plain.txt.err)"
    run_wine hidden.txt moravel-report.exe --redact || fail "moravel-report.exe --redact: $(cat hidden.txt.err)"
    run_wine expected.out moravel-report.exe --output expected-saved.txt || fail "moravel-report.exe --output"
    menu_item 1
    wait_until 30 clipboard_holds plain.txt || fail "Copy report: $(diff plain.txt held.txt | head -5)"
    menu_item 4
    menu_item 1
    wait_until 30 clipboard_holds hidden.txt || fail "Copy report, hidden: $(diff hidden.txt held.txt | head -5)"
    menu_item 4
    pass "Copy report equals moravel-report.exe, and with the hide switch its --redact"

    menu_item 2
    local dialog
    dialog=$(find_window '^Save report$' 60) || fail "Save report opened no dialog"
    press_in "$dialog" ctrl+a
    xdotool type --delay 5 saved-report.txt
    shot "$dialog" save-report
    press_in "$dialog" Return
    wait_gone '^Save report$' 30 || fail "the Save report dialog stayed open"
    wait_until 30 cmp -s expected-saved.txt saved-report.txt ||
        fail "Save report: $(diff expected-saved.txt saved-report.txt 2>&1 | head -5)"
    [ "$(grep -c $'\r$' saved-report.txt)" = "$(wc -l <saved-report.txt)" ] || fail "saved report: not every line ends with CRLF"
    pass "Save report through the Windows file dialog writes moravel-report.exe --output's file, CRLF"
}

# --- the fields against the reports -----------------------------------------------------------

# A snapshot: the Windows report equals the Linux one, and the window's fields equal both.
check_snapshot() {  # SNAPSHOT ENDING
    local name
    name=$(basename "$1" .json)
    export MORAVEL_SNAPSHOT=$1
    run_wine "$name.json" moravel-report.exe --json || fail "moravel-report.exe --json for $name: $(cat "$name.json.err")"
    "$MORAVEL_BUILD_DIR/moravel-report" --json >"$name.linux.json" 2>/dev/null
    cmp -s "$name.json" "$name.linux.json" || fail "$name: moravel-report.exe and the Linux report differ"
    start_exe moravel.exe
    find_window '^Information$|^Moravel by Tobrin' 60 >/dev/null || fail "$name: no window"
    local notice
    notice=$(visible_window '^Information$')
    if [ -n "$notice" ]; then press_in "$notice" Return; fi
    # The notice box comes exactly at the versions of the notice rule: 6.2 and later 6.x.
    local rule=""
    [[ $(version_line) =~ ^6$'\t'([2-9]|[1-9][0-9]+)$ ]] && rule=yes
    [ "${notice:+yes}" = "$rule" ] || fail "$name: version line '$(version_line)', notice box: ${notice:-none}"
    MAIN=$(find_window "$MAIN_TITLE" 60) || fail "$name: no main window"
    read_fields "$name.window"
    expect_same_texts "$name" "$name.window" "$name.json"
    end_with "$2"
    pass "$name: 38 fields as both reports${notice:+, after the notice box}; $2 ends with status 0"
}

# Available memory and free space move while the machine works, the more so on a loaded machine
# where the window's queries take minutes: available memory may differ by an eighth of the
# machine's memory, free space by 4 GB (a build beside the test writes gigabytes); everything else
# must be equal.
expect_live_texts() {  # WINDOW REPORT-JSON
    report_texts "$2" report.texts
    cmp -s "$1" report.texts && return
    jq -r '.groups[].fields[].label' "$2" >labels
    local memory free
    memory=$(grep -nx 'Available Memory:' labels | cut -d: -f1)
    free=$(grep -nx 'HDD Size:' labels | cut -d: -f1)
    moving() { sed -n -e "${memory}s/^\([0-9]*\) MB .*/\1/p" -e "${free}s/.*FreeSpace: \([0-9]*\) GB.*/\1/p" "$1"; }
    still() { sed -e "${memory}s/[0-9][0-9]*/N/g" -e "${free}s/FreeSpace: [0-9]* GB/FreeSpace: N GB/" "$1"; }
    if cmp -s <(still "$1") <(still report.texts) &&
        paste -d' ' <(moving "$1") <(moving report.texts) |
        awk -v most="$(awk '/^MemTotal:/ { print int($2 / 1024 / 8) }' /proc/meminfo)" \
            '{ d = $1 - $2; d = d < 0 ? -d : d } NR == 1 && d > most || NR == 2 && d > 4 { bad = 1 } END { exit bad }'; then
        note "live: available memory and free space moved: $(paste -d/ <(moving "$1") <(moving report.texts) | tr '\n' ' ')"
        return
    fi
    expect_same_texts live "$1" "$2"
}

# The live Wine machine: the report runs beside the window's build, so that what moves is read
# at about the same moment by both.
check_live() {
    unset MORAVEL_SNAPSHOT
    run_wine live.json moravel-report.exe --json &
    local report=$! begun=$SECONDS
    start_exe moravel.exe
    MAIN=$(find_window "$MAIN_TITLE" 300) || fail "live: no main window"
    note "live: the main window after $((SECONDS - begun)) s of queries"
    wait "$report" || fail "live: moravel-report.exe --json: $(cat live.json.err)"
    read_fields live.window
    expect_live_texts live.window live.json
    shot "$MAIN" window
    end_with "$1"
    pass "live: the 38 fields are the report's; $1 ends with status 0"
}

start_display 1920x1080x24
field_positions
started=$SECONDS
start_prefix
note "Wine prefix made in $((SECONDS - started)) s"
check_zip
check_wait_window

check_notice_at_6_2 "$DATA/desktop.json"
read_fields unversioned.window
run_wine unversioned.report moravel-report.exe --json ||
  fail "moravel-report.exe --json at Windows 6.2: status $?, $(head -c 2000 unversioned.report.err)"
expect_same_texts "desktop at Windows 6.2" unversioned.window unversioned.report
check_about
check_print "$(head -n1 unversioned.window)"
check_share_menu
end_with escape
pass "desktop at Windows 6.2: 38 fields as the report; Escape ends with status 0"

ending=ok
for snapshot in "$DATA"/*.json; do
    check_snapshot "$snapshot" "$ending"
    [ "$ending" = ok ] && ending=escape || ending=ok
done
check_live ok
note "the Wine window test took $((SECONDS - started)) s"
