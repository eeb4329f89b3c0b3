#!/usr/bin/env bash
# As a keyboard user: Tab visits the 38 fields in reading order, then About, Print and OK as
# they stand; Shift+Tab goes back; a long field Tab scrolled to its end shows its start again
# once the focus has left; Shift+F10 and the Menu key open the share menu at the focused field.
set -u
source "$MORAVEL_SOURCE_DIR/tests/support/x_session.sh"
require_tools xclip import compare convert
export MORAVEL_SNAPSHOT="$MORAVEL_SOURCE_DIR/tests/data/desktop.json"  # long values, clipped ones

# The fields' texts in reading order, as the report prints them: the text starts one column
# after the longest caption.
"$MORAVEL_BUILD_DIR/moravel-report" > "$WORK/report.txt" || fail "moravel-report"
awk '/^  / { line[++n] = $0; c = index($0, ":") - 2; if (c > longest) longest = c }
     END { for (i = 1; i <= n; i++) print substr(line[i], longest + 4) }' "$WORK/report.txt" > "$WORK/texts.txt"
[ "$(wc -l < "$WORK/texts.txt")" -eq 38 ] || fail "the report has $(wc -l < "$WORK/texts.txt") fields, not 38"

start_display 1280x900x24
start_app
xdotool windowfocus --sync "$MAIN" 2>>"$WORK/xdotool.log" || fail "cannot focus the main window"
import -window "$MAIN" "$WORK/start.png"

press() { xdotool key --clearmodifiers "$@" 2>>"$WORK/xdotool.log"; }
held() { xclip -o -selection clipboard 2>/dev/null; }
# The focused field's whole text, through the clipboard (Tab selects all of a field).
copies() { press ctrl+c; [ "$(held)" = "$1" ]; }
field_text() { sed -n "$1p" "$WORK/texts.txt"; }
menu_shown() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && { MENU=$w; return 0; }
    done
    return 1
}

# The first field has the focus when the window opens.
press ctrl+a
wait_until 3 copies "$(field_text 1)" || fail "the first field is not focused at the start: '$(held)'"
for ((i = 2; i <= 38; i++)); do
    press Tab
    wait_until 3 copies "$(field_text "$i")" || fail "Tab number $((i - 1)) did not reach field $i ('$(held)')"
done
press shift+Tab
wait_until 3 copies "$(field_text 37)" || fail "Shift+Tab did not go back to field 37"
press Tab
note "Tab visits the 38 fields in reading order; Shift+Tab goes back"

# After the last field: About, Print, OK, as they stand left to right. A click on the last field
# puts the focus back there after each window the buttons open.
press Tab space
about=$(find_window '^About Moravel$' 10) || fail "the Tab after the last field did not reach About"
key "$about" Escape
wait_gone '^About Moravel$' 5 || fail "About stayed open"
click_widget "$MAIN" main "Printer:"
press Tab Tab space
dialog=$(find_window '^Print$' 10) || fail "the second Tab after the last field did not reach Print"
key "$dialog" Escape
wait_gone '^Print$' 5 || fail "the print dialog stayed open"
note "then About and Print"

# The CPU group's cores-and-caches field (the 16th, clipped) scrolls to its end while Tab has put the focus
# there and shows its start again after Tab has left it.
read -r cores_x cores_y < <(widget_at main "Spec:")
box="246x16+$((cores_x - 123))+$((cores_y - 8))"
part() { convert "$1" -crop "$box" +repage "$2"; }
part "$WORK/start.png" "$WORK/cores-start.png"
click_widget "$MAIN" main "Processor:"
press Tab
wait_until 3 copies "$(field_text 16)" || fail "Tab did not reach the cores-and-caches field"
differs_from_start() {
    import -window "$MAIN" "$WORK/now.png" && part "$WORK/now.png" "$WORK/cores-now.png" &&
        [ "$(compare -metric AE "$WORK/cores-start.png" "$WORK/cores-now.png" null: 2>&1)" != 0 ]
}
wait_until 3 differs_from_start || fail "the focused cores-and-caches field shows what it showed before"
press Tab
wait_until 3 eval '! differs_from_start' || fail "the cores-and-caches field does not show its start after the focus left it"
note "a field Tab scrolled shows its start again when the focus leaves it"

# Shift+F10 and the Menu key: the menu opens below the focused field (the 17th, Clock).
read -r main_x main_y < <(window_position "$MAIN")
read -r clock_x clock_y < <(widget_at main "Clock:")
for keys in shift+F10 Menu; do
    press $keys
    wait_until 5 menu_shown || fail "$keys opened no menu"
    read -r menu_x menu_y < <(window_position "$MENU")
    dx=$((menu_x - (main_x + clock_x - 125))) dy=$((menu_y - (main_y + clock_y + 10)))
    [ "${dx#-}" -le 4 ] && [ "${dy#-}" -le 4 ] || fail "$keys: the menu at $menu_x,$menu_y, not below the Clock field"
    [ "$keys" = Menu ] || { press Escape; wait_until 5 eval '! menu_shown' || fail "Escape did not close the menu"; }
done
import -window root "$WORK/keyboard-menu.png"
[ -n "${MORAVEL_SHOTS:-}" ] && cp "$WORK/keyboard-menu.png" "$MORAVEL_SHOTS/keyboard-menu.png"
press Down Return  # Copy report
wait_until 5 eval '[ "$(held)" = "$(cat "$WORK/report.txt")" ]' || fail "Copy report from the keyboard menu"
note "Shift+F10 and the Menu key open the share menu at the focused field"

click_widget "$MAIN" main "Printer:"
press Tab Tab Tab space  # About, Print, OK
wait_for_exit 10
[ "$EXIT_STATUS" = 0 ] || fail "OK reached by Tab: exit status $EXIT_STATUS"
note "passed"
