#!/usr/bin/env bash
# The Windows programs used by someone whose name the system's code page cannot spell: one Wine
# prefix whose user folder is "Jürgen Иванов", a drive labelled "Données", the files in the
# folder "Иван" below the user folder; on a private X display.
#   files      --snapshot, --output, --save-snapshot and --compare on names in that folder, typed
#              as a person types them; MORAVEL_SNAPSHOT naming one; a missing file's line quotes
#              the name as typed
#   exports    the GLPI JSON, the OCS XML and the snapshot hold "Données" in UTF-8
#   console    --compare in a console of its own shows "→" (the console's screen read back);
#              redirected, the bytes are the Linux build's, each line ending in CR LF;
#              --output CON writes to the console
#   devices    --output NUL; a named pipe gets the report; a pipe nobody serves is refused
#   window     Save report with the JSON type picked (the name follows the type), Save snapshot
#              and Compare with snapshot through the Windows file dialogs, in that folder
#   file       moravel.exe FILE and moravel.exe --snapshot FILE show FILE's machine; a file that is
#              no snapshot: the reason in a message box (its text read back), status 2
#   short      at 1366 x 680 and 1024 x 600 the window's frame, title bar included, on the screen
#              (Wine's own desktop draws the frame as Windows does; screenshots)
# Every wait is for an event and bounded. Wine's children write to files, never to a pipe: its
# server inherits the pipe and keeps it open.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
windows_build=${MORAVEL_WINDOWS_BUILD_DIR:-$MORAVEL_SOURCE_DIR/build-windows}
for exe in moravel.exe moravel-report.exe moravel-probe.exe; do
    [ -f "$windows_build/$exe" ] || { echo "skipped: $windows_build/$exe is not built (make windows)"; exit 77; }
done
command -v wine >/dev/null || { echo "skipped: wine is not installed"; exit 77; }
require_tools import xclip
pass() { echo "ok: $*"; }
source "$MORAVEL_SOURCE_DIR/tests/windows/wine_checks.sh"
source "$MORAVEL_SOURCE_DIR/tests/windows/wine_window.sh"
DATA="$MORAVEL_SOURCE_DIR/tests/data"
LINUX_REPORT="$MORAVEL_BUILD_DIR/moravel-report"

# Wine names the user folder after USER, for every process of the prefix.
export USER='Jürgen Иванов' WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset MORAVEL_SNAPSHOT
trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; finish_session' EXIT
HOME_FOLDER="$WINEPREFIX/drive_c/users/$USER"
FOLDER="$HOME_FOLDER/Иван"
WINDOWS_FOLDER='C:\users\Jürgen Иванов\Иван'

# The prefix, the folder with the snapshots and the programs, and drive D: labelled "Données".
make_prefix() {
    start_prefix
    [ -d "$HOME_FOLDER" ] || fail "Wine made no user folder named $USER: $(ls "$WINEPREFIX/drive_c/users")"
    mkdir -p "$FOLDER" "$WORK/drive-d"
    cp "$DATA/desktop.json" "$DATA/desktop_seller.json" "$FOLDER/"
    cp "$windows_build"/moravel{,-report,-probe}.exe "$HOME_FOLDER/"
    printf 'Donn\xc3\xa9es' >"$WORK/drive-d/.windows-label"
    ln -sfn "$WORK/drive-d" "$WINEPREFIX/dosdevices/d:"
    wine reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f >reg.out 2>&1
    wineserver -k >/dev/null 2>&1  # the mount manager reads the drives as it starts
    wineserver -w >/dev/null 2>&1
    cd "$HOME_FOLDER" || fail "no user folder"
}

# --- the console program ----------------------------------------------------------------------

check_files() {
    "$LINUX_REPORT" --snapshot "$DATA/desktop.json" | sed 's/$/\r/' >"$WORK/desktop.crlf"
    run_wine out.txt moravel-report.exe --snapshot 'Иван\desktop.json' --output 'Иван\report.txt' ||
        fail "--snapshot and --output in Иван: $(cat out.txt.err)"
    cmp -s "$WORK/desktop.crlf" "$FOLDER/report.txt" || fail "--output Иван\\report.txt differs from the Linux report"
    MORAVEL_SNAPSHOT="$WINDOWS_FOLDER\\desktop.json" run_wine env.txt moravel-report.exe ||
        fail "MORAVEL_SNAPSHOT in Иван: $(cat env.txt.err)"
    cmp -s <(tr -d '\r' <"$WORK/desktop.crlf") env.txt || fail "MORAVEL_SNAPSHOT in Иван: another report"
    run_wine missing.txt moravel-report.exe --snapshot 'Иван\nowhere.json'
    local status=$?
    [ $status = 2 ] && [ "$(grep '^moravel' missing.txt.err | tr -d '\r')" = 'moravel: Иван\nowhere.json: cannot be read: No such file or directory' ] ||
        fail "a missing snapshot in Иван: status $status, $(cat missing.txt.err)"
    pass "--snapshot, --output and MORAVEL_SNAPSHOT in $WINDOWS_FOLDER; a missing file quoted as typed"

    run_wine saved.txt moravel-report.exe --save-snapshot 'Иван\machine.json' || fail "--save-snapshot: $(cat saved.txt.err)"
    run_wine compared.txt moravel-report.exe --compare 'Иван\desktop.json' --snapshot 'Иван\machine.json'
    status=$?
    "$LINUX_REPORT" --compare "$FOLDER/desktop.json" --snapshot "$FOLDER/machine.json" >"$WORK/compared.linux"
    [ $status = 1 ] && cmp -s compared.txt "$WORK/compared.linux" ||
        fail "--compare in Иван: status $status, $(diff compared.txt "$WORK/compared.linux" | head -5)"
    pass "--save-snapshot and --compare in $WINDOWS_FOLDER, as the Linux build compares the same files"
}

# The label of drive D:, as WMI gives it, in every form that leaves the machine.
check_exports() {
    run_wine glpi.txt moravel-report.exe --inventory glpi --output 'Иван\inventory.json' || fail "--inventory glpi: $(cat glpi.txt.err)"
    run_wine ocs.txt moravel-report.exe --inventory ocs --output 'Иван\inventory.xml' || fail "--inventory ocs: $(cat ocs.txt.err)"
    local label=$'Donn\xc3\xa9es'
    grep -q "\"label\": \"$label\"" "$FOLDER/inventory.json" || fail "the GLPI inventory lacks the label $label"
    grep -q "<VOLUMN>$label</VOLUMN>" "$FOLDER/inventory.xml" || fail "the OCS inventory lacks the label $label"
    grep -q "\"VolumeName\":\"$label\"" "$FOLDER/machine.json" || fail "the snapshot lacks the label $label"
    pass "GLPI JSON, OCS XML and the snapshot hold the label $label in UTF-8"
}

check_console() {
    local compare=(moravel-report.exe --compare 'Иван\desktop_seller.json' --snapshot 'Иван\desktop.json')
    "$LINUX_REPORT" --compare "$FOLDER/desktop_seller.json" --snapshot "$FOLDER/desktop.json" >"$WORK/seller.linux"
    grep -q '→' "$WORK/seller.linux" || fail "the comparison holds no arrow to look for"
    wine moravel-probe.exe console screen.txt "${compare[@]}" >console.out 2>console.err
    # A screen's row has no blanks at its end to tell.
    sed 's/ *$//' "$WORK/seller.linux" >"$WORK/seller.screen"
    cmp -s screen.txt "$WORK/seller.screen" ||
        fail "the console shows another text: $(diff screen.txt "$WORK/seller.screen" | head -5)"
    wine "${compare[@]}" >redirected.raw 2>redirected.err
    cmp -s redirected.raw <(sed 's/$/\r/' "$WORK/seller.linux") || fail "redirected --compare: other bytes than the Linux build's"
    pass "--compare: the console shows '→' and every letter as the Linux build prints them; redirected, its bytes with CR LF"
    wine moravel-probe.exe console output-con.txt moravel-report.exe --snapshot 'Иван\desktop.json' --output CON >output-con.out 2>output-con.err
    tr -d '\r' <"$WORK/desktop.crlf" | sed 's/ *$//' >"$WORK/desktop.screen"
    cmp -s output-con.txt "$WORK/desktop.screen" || fail "--output CON: $(diff output-con.txt "$WORK/desktop.screen" | head -5)"
    pass "--output CON writes the report to the console"
}

check_devices() {
    run_wine device.txt moravel-report.exe --snapshot 'Иван\desktop.json' --output NUL
    local status=$?
    [ $status = 0 ] && [ -z "$(grep '^moravel' device.txt.err)" ] && [ -z "$(find "$HOME_FOLDER" -iname 'nul*')" ] ||
        fail "--output NUL: status $status, $(cat device.txt.err)"
    timeout 60 wine moravel-probe.exe pipe moravel-test piped.txt moravel-report.exe --snapshot 'Иван\desktop.json' \
        --output '\\.\pipe\moravel-test' >pipe.out 2>pipe.err
    status=$?
    [ $status = 0 ] && cmp -s piped.txt "$WORK/desktop.crlf" || fail "--output to a named pipe: status $status, $(cat pipe.err)"
    run_wine nobody.txt moravel-report.exe --snapshot 'Иван\desktop.json' --output '\\.\pipe\nobody'
    status=$?
    [ $status = 2 ] && grep -q 'cannot write \\\\.\\pipe\\nobody: no program reads the pipe' nobody.txt.err ||
        fail "--output to a pipe nobody serves: status $status, $(cat nobody.txt.err)"
    pass "--output NUL, a named pipe, and a pipe nobody serves (status 2, one line)"
}

# --- the window program -----------------------------------------------------------------------

# The window's dialogs start in the current folder, Иван: only a file's own name is typed.
use_dialog() {  # TITLE [NAME] [TYPE-DOWNS]: the file dialog of that title; the name typed, the
                # type moved down so many entries, then confirmed
    local dialog
    dialog=$(find_window "^$1\$" 60) || fail "no '$1' dialog"
    if [ -n "${2:-}" ]; then
        press_in "$dialog" ctrl+a
        xdotool type --delay 5 "$2"
    fi
    if [ "${3:-0}" -gt 0 ]; then
        press_in "$dialog" alt+t
        xdotool key $(printf 'Down %.0s' $(seq "$3"))
        press_in "$dialog" alt+n
    fi
    shot "$dialog" "user-folder-$(echo "$1" | tr ' ' '-')"
    press_in "$dialog" Return
    wait_gone "^$1\$" 30 || fail "the '$1' dialog stayed open"
}

check_window_files() {
    export MORAVEL_SNAPSHOT="$WINDOWS_FOLDER\\desktop.json"
    (cd "$FOLDER" && wine "$HOME_FOLDER/moravel.exe" >"$WORK/stdout" 2>"$WORK/stderr") &
    APP_PID=$!
    MAIN=$(find_window "$MAIN_TITLE" 120) || fail "no main window with MORAVEL_SNAPSHOT in Иван"
    run_wine json.txt moravel-report.exe --json
    # The preset name is moravel-report.txt; picking "JSON report" makes it moravel-report.json.
    menu_item 2
    use_dialog 'Save report' '' 1
    wait_until 30 cmp -s json.txt "$FOLDER/moravel-report.json" ||
        fail "Save report as JSON: $(ls "$FOLDER"), $(cmp json.txt "$FOLDER/moravel-report.json" 2>&1)"
    [ ! -e "$FOLDER/moravel-report.txt" ] || fail "Save report as JSON also wrote moravel-report.txt"
    pass "Save report in Иван, JSON report picked: moravel-report.json holds moravel-report.exe --json"

    menu_item 3
    use_dialog 'Save snapshot'
    wait_until 30 test -s "$FOLDER/moravel-snapshot.json" || fail "Save snapshot wrote nothing in Иван"
    run_wine replayed.txt moravel-report.exe --snapshot 'Иван\moravel-snapshot.json'
    cmp -s replayed.txt <(tr -d '\r' <"$WORK/desktop.crlf") || fail "the snapshot saved in Иван replays another report"
    pass "Save snapshot in Иван: the file replays the window's report"

    run_wine comparison.txt moravel-report.exe --compare 'Иван\desktop_seller.json'
    menu_item 5
    use_dialog 'Compare with snapshot' desktop_seller.json
    find_window ' differ from desktop_seller\.json' 30 >/dev/null || fail "no comparison in the title: $(xdotool getwindowname "$MAIN")"
    menu_item 1
    wait_until 30 clipboard_holds comparison.txt || fail "Copy report of the comparison: $(diff comparison.txt held.txt | head -5)"
    shot "$MAIN" user-folder-compared
    pass "Compare with snapshot in Иван: the title counts the fields, Copy report is moravel-report.exe --compare"
    end_with escape
    unset MORAVEL_SNAPSHOT
}

# A snapshot named on the command line as a file manager passes it (alone) or with --snapshot:
# the window shows that machine; a file that is no snapshot: its one-line reason in Windows'
# message box, then status 2.
expect_shown() {  # SNAPSHOT ARGUMENTS...: moravel.exe ARGUMENTS shows the machine of SNAPSHOT
    run_wine shown.txt moravel-report.exe --snapshot "$1"
    start_exe moravel.exe "${@:2}"
    MAIN=$(find_window "$MAIN_TITLE" 120) || fail "moravel.exe ${*:2}: no main window"
    menu_item 1
    wait_until 30 clipboard_holds shown.txt || fail "moravel.exe ${*:2} shows another machine: $(diff shown.txt held.txt | head -5)"
    end_with ok
    pass "moravel.exe ${*:2} shows that snapshot's machine"
}

check_file_argument() {
    expect_shown 'Иван\desktop_seller.json' 'Иван\desktop_seller.json'
    expect_shown 'Иван\desktop.json' --snapshot 'Иван\desktop.json'
    start_exe moravel.exe 'Иван\report.txt'
    wine moravel-probe.exe box 'Snapshot not opened' box.txt >box.out 2>&1 || fail "no message box for a file that is no snapshot"
    wait_for_exit 30
    local line
    line=$(grep '^moravel' "$WORK/stderr" | tr -d '\r')
    [ "$EXIT_STATUS" = 2 ] && [ "$(cat box.txt)" = "$line" ] && [[ $line == 'moravel: Иван\report.txt: '* ]] ||
        fail "moravel.exe with a file that is no snapshot: status $EXIT_STATUS, box [$(cat box.txt)], line [$line]"
    pass "moravel.exe with a file that is no snapshot: a message box says [$line], status 2"
}

# Whether the window at X Y of W x H shows its light face below the title bar, not the black of
# a window not drawn yet.
window_drawn() {
    import -window root "$WORK/screen.png" 2>/dev/null &&
        [ "$(convert "$WORK/screen.png" -crop "$(($3 - 20))x$(($4 - 60))+$(($1 + 10))+$(($2 + 40))" -format '%[fx:mean > 0.5]' info:)" = 1 ]
}

# The framed window, as Wine's desktop of SIZE draws it (as Windows does, title bar included),
# lies on the screen.
check_short_screen() {  # SIZE
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    start_display "${1}x24"
    local width=${1%x*} height=${1#*x}
    MORAVEL_SNAPSHOT="$WINDOWS_FOLDER\\desktop.json" start_exe explorer "/desktop=moravel,$1" moravel.exe
    MAIN=$(find_window "$MAIN_TITLE" 120) || fail "no main window at $1"
    local x y w h
    read -r x y w h < <(window_geometry "$MAIN")
    wait_until 60 window_drawn "$x" "$y" "$w" "$h" || fail "at $1 the window's fields were never drawn"
    shot root "short-screen-$1"
    [ "$w" -gt 725 ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$width" ] && [ $((y + h)) -le "$height" ] ||
        fail "at $1 the framed window is at $x,$y, $w x $h: not inside the screen"
    pass "at $1 the framed window, title bar included, is inside the screen: $w x $h at $x,$y"
    wineserver -k >/dev/null 2>&1
    wait "$APP_PID" 2>/dev/null
    APP_PID=""
}

cd "$WORK" || exit 1
start_display 1280x1024x24
make_prefix
check_files
check_exports
check_console
check_devices
check_window_files
check_file_argument
check_short_screen 1366x680
check_short_screen 1024x600
