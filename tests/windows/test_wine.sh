#!/usr/bin/env bash
# The Windows build under Wine, in one temporary prefix for the whole run:
#   resources    icon group 101, the version block and the manifest, read back from each exe
#   line ends    --output's text with CRLF, its JSON unchanged; the zip's README.txt and licence
#   conversions  platform VARIANTs of each type, and wide text to UTF-8 and back
#   failures     an absent class, a property the class lacks, a malformed query, an index past
#                the last object: empty text and exactly the diagnostic lines of the query layer
#   probes       the adapter address and memory texts against ipconfig and wmic
#   apartment    queries inside an apartment the toolkit owns leave that apartment in place
#   version      the version line and the notice decision at Wine's default version and at 6.2
#   snapshot     every value moravel-report.exe --save-snapshot records equals what `wmic`
#                reports for the same class, object and property
#   report       moravel-report.exe --json equals the Linux build's report of that snapshot
#   inventory    --inventory glpi valid against the GLPI schema, --inventory ocs compressed, and
#                --submit over WinHTTP to a stand-in server as OCS's Windows agent, bounded by
#                --timeout; timeouts and unreachable servers told in words
#   task         the zip's scheduled task registered with schtasks /XML, its action run
#   health       a snapshot's disk and battery health and temperatures, and the live storage
#                classes Wine lacks recorded as failures
#   software     programs recorded in the prefix (both registry views, the user's, a system
#                component, an update, wrong types, a 10 MB name): the Programs list's list
#   card memory  a card of 4 GiB or more: the size its driver recorded, else WMI's AdapterRAM
# Wine's children are never read through a pipe: its server inherits the pipe and keeps it open.
set -uo pipefail

script_dir=$(cd "$(dirname "$0")" && pwd)
source_dir=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
linux_build=${MORAVEL_BUILD_DIR:-$source_dir/build-test}
windows_build=${MORAVEL_WINDOWS_BUILD_DIR:-$source_dir/build-windows}
for exe in moravel-report.exe moravel-probe.exe; do
  [ -f "$windows_build/$exe" ] || { echo "skipped: $windows_build/$exe is not built (make windows)"; exit 77; }
done
command -v wine >/dev/null || { echo "skipped: wine is not installed"; exit 77; }

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=${DISPLAY:-}  # only the card-memory check needs it: Wine reports a card's memory with a display
unset DISPLAY WAYLAND_DISPLAY  # console programs; the display-dependent values are not needed
cleanup() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
cp "$windows_build/moravel-report.exe" "$windows_build/moravel-probe.exe" "$source_dir/tests/data/desktop.json" "$work/"
cd "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# wmic's answer for one property of a class: one line per object (a blank one for no value),
# padding removed. Its output is UTF-16 with CRLF line ends and a header line.
# A busy machine can fail wmic's COM start: a silent failure is asked again, up to $4 times in
# all (5 unless told; "Invalid query", a property the class lacks, is an answer), each time after
# the prefix has run a trivial program to its end. The last attempt runs with Wine's error
# channel open, so $out.err says why it failed, with the status.
run_wmic() {
  local out=$1 class=$2 property=$3 attempts=${4:-5} status debug=$WINEDEBUG
  while :; do
    [ "$attempts" -gt 1 ] || debug=err+all,fixme-all
    WINEDEBUG=$debug wine wmic path "$class" get "$property" >"$out.raw" 2>"$out.err"
    status=$?
    [ $status -eq 0 ] || grep -q "Invalid query" "$out.err" && break
    attempts=$((attempts - 1))
    [ $attempts -gt 0 ] || { echo "(status $status)" >>"$out.err"; break; }
    wine cmd /c exit >/dev/null 2>&1
  done
  iconv -f UTF-16 -t UTF-8 <"$out.raw" | tr -d '\r' | sed -e '1d' -e 's/ *$//' >"$out"
  return $status
}

. "$script_dir/wine_checks.sh"

start_prefix
check_resources moravel-report.exe moravel-report.exe "Moravel inventory report"
if [ -f "$windows_build/moravel.exe" ]; then
  cp "$windows_build/moravel.exe" "$work/"
  check_resources moravel.exe Moravel.exe Moravel
fi
check_line_ends
check_failures
check_conversions
check_probes
check_apartment
check_version
check_snapshot_against_wmic
check_report_against_linux
check_inventory
check_health
check_installed_software
check_adapter_memory

echo "$failures failure(s)"
[ $failures -eq 0 ]
