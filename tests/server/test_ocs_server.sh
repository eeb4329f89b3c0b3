#!/usr/bin/env bash
# A real OCS Inventory NG server: Debian's ocsinventory-server under a private Apache (mod_perl)
# and MariaDB on loopback (tests/support/ocs_server.sh). Moravel submits this machine and every
# test snapshot; the server's database must hold the host name, serial number, UUID, operating
# system and its release, DNS servers, processors, memory modules, disks, adapters (MAC), PCI
# controllers and monitors that --inventory ocs wrote, and its software: as many rows as
# dpkg-query lists packages for this machine. Three submissions of one machine leave one
# machine, updated; a renamed host stays one computer; every USB device of a snapshot has its own
# row where the server writes sections row by row (INVENTORY_WRITE_DIFF: its data map keeps one
# USB row otherwise, whoever sends). A stopped server ends the submission with one line and
# status 3. The test installs and starts services, so it runs in CI (CI is set there) and with
# make test-server; elsewhere it says so and is skipped.
set -u
if [ -z "${CI:-}" ] && [ -z "${MORAVEL_TEST_SERVER:-}" ]; then
    echo "skipped: the real OCS Inventory server test installs and starts Apache and MariaDB; run it with 'make test-server' (CI runs it)"
    exit 77
fi
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
work=$(mktemp -d)
chmod 755 "$work"  # the database runs as its own user, which must reach its folder
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

bash "$source/scripts/install-deps" --server || { echo "FAIL: the server packages cannot be installed"; exit 1; }
source "$source/tests/support/ocs_server.sh"
source "$source/tests/support/submit_checks.sh"
trap 'ocs_stop; rm -rf "$work"' EXIT
ocs_start "$work/server" || { echo "FAIL: the OCS server did not start"; exit 1; }

# compare NAME XML: the server's rows of the machine XML names, against what XML says.
compare() {
    local name=$1 xml=$2 device
    device=$(python3 -c 'import sys, xml.etree.ElementTree as ET; print(ET.parse(sys.argv[1]).getroot().findtext("DEVICEID"))' "$xml")
    local id
    id=$(ocs_sql "SELECT ID FROM hardware WHERE DEVICEID = '$device'")
    [ -n "$id" ] || { fail "$name: no machine $device on the server"; return; }
    {
        echo "hardware	$(ocs_sql "SELECT NAME, UUID, OSNAME, OSVERSION, DNS FROM hardware WHERE ID = $id" --raw)"
        echo "bios	$(ocs_sql "SELECT SSN FROM bios WHERE HARDWARE_ID = $id" --raw)"
        ocs_sql "SELECT 'cpus', TYPE FROM cpus WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'memories', CAPTION, CAPACITY, SERIALNUMBER FROM memories WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'storages', NAME, MODEL, DISKSIZE, SERIALNUMBER FROM storages WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'networks', MACADDR FROM networks WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'monitors', MANUFACTURER, CAPTION, SERIAL FROM monitors WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'controllers', NAME, MANUFACTURER, TYPE FROM controllers WHERE HARDWARE_ID = $id" --raw
        ocs_sql "SELECT 'software', n.NAME FROM software s JOIN software_name n ON n.ID = s.NAME_ID WHERE s.HARDWARE_ID = $id" --raw
    } >"$work/$name.rows"
    # This machine: a software row for each package its package manager lists as installed.
    if [ "$name" = live ] && command -v dpkg-query >/dev/null; then
        local rows packages
        rows=$(ocs_sql "SELECT COUNT(*) FROM software WHERE HARDWARE_ID = $id")
        packages=$(dpkg-query -W -f '${db:Status-Status}\n' | grep -cx installed)
        [ "$rows" = "$packages" ] || fail "live: $rows software rows on the server, dpkg-query lists $packages installed packages"
    fi
    python3 - "$xml" "$work/$name.rows" "$name" <<'PY' || failures=$((failures + 1))
import sys, xml.etree.ElementTree as ET
content = ET.parse(sys.argv[1]).getroot().find('CONTENT')
def fields(section, names):
    return sorted(tuple((e.findtext(n) or '') for n in names) for e in content.findall(section))
expected = {
    'hardware': fields('HARDWARE', ['NAME', 'UUID', 'OSNAME', 'OSVERSION', 'DNS']),
    'bios': fields('BIOS', ['SSN']),
    'cpus': fields('CPUS', ['TYPE']),
    'memories': fields('MEMORIES', ['CAPTION', 'CAPACITY', 'SERIALNUMBER']),
    'storages': fields('STORAGES', ['NAME', 'MODEL', 'DISKSIZE', 'SERIALNUMBER']),
    # One NETWORKS entry per address; an adapter without a MAC is kept with the server's zeros.
    'networks': sorted((e.findtext('MACADDR') or '00:00:00:00:00:00',) for e in content.findall('NETWORKS')),
    'monitors': fields('MONITORS', ['MANUFACTURER', 'CAPTION', 'SERIAL']),
    'controllers': fields('CONTROLLERS', ['NAME', 'MANUFACTURER', 'TYPE']),
    # The server keeps each name once, compared without case (its collation): the first spelling.
    'software': sorted((e.findtext('NAME').lower(),) for e in content.findall('SOFTWARES')),
}
found = {section: [] for section in expected}
for line in open(sys.argv[2]).read().splitlines():
    section, *values = line.split('\t')
    found[section].append(tuple('' if v == 'NULL' else v.lower() if section == 'software' else v for v in values))
bad = 0
for section in expected:
    if sorted(found[section]) != expected[section]:
        print(f'FAIL: {sys.argv[3]}: {section}: the server holds {sorted(found[section])}, --inventory ocs wrote {expected[section]}')
        bad += 1
sys.exit(bad)
PY
}

# This machine and every snapshot, each submitted and compared.
for source_file in live "$source"/tests/data/*.json; do
    name=$(basename "$source_file" .json)
    from=()
    [ "$source_file" = live ] || from=(--snapshot "$source_file")
    env -u MORAVEL_SNAPSHOT "$report" "${from[@]}" --inventory ocs >"$work/$name.xml"
    submit_in "$work/submit-$name" "${from[@]}" --submit "$OCS_URL"
    [ "$(cat "$work/submit-$name/status")" = 0 ] || { fail "$name: $(cat "$work/submit-$name/err")"; continue; }
    compare "$name" "$work/$name.xml"
done

# Three submissions of one machine, the memory of the last one changed: one machine, updated.
for round in 1 2 3; do
    python3 - "$source/tests/data/workstation.json" "$work/round.json" "$round" <<'PY'
import json, sys
machine = json.load(open(sys.argv[1]))
if sys.argv[3] == '3':
    machine['classes']['Win32_PhysicalMemory'][0].update(Capacity='34359738368', SerialNumber='99F0E1D2')
json.dump(machine, open(sys.argv[2], 'w'))
PY
    submit_in "$work/round$round" --snapshot "$work/round.json" --submit "$OCS_URL"
    [ "$(cat "$work/round$round/status")" = 0 ] || fail "round $round: $(cat "$work/round$round/err")"
done
"$report" --snapshot "$work/round.json" --inventory ocs >"$work/round.xml"
[ "$(ocs_sql "SELECT COUNT(*) FROM hardware WHERE NAME = 'WS-MVOSS'")" = 1 ] || fail "three submissions of one machine made more than one"
compare updated "$work/round.xml"

# A renamed host stays one computer: the machine keeps the id it sent, and after the rename (a host
# name of this process's own) names it to the server, which carries the record over.
if unshare -u true 2>/dev/null; then
    mkdir -p "$work/state"
    SUBMIT_STATE="$work/state" submit_in "$work/before-rename" --submit "$OCS_URL"
    old=$(cat "$work/state/device-id" 2>/dev/null)
    SUBMIT_STATE="$work/state" report="$report" unshare -u bash -c \
        'hostname moravel-renamed && source "$1/tests/support/submit_checks.sh" && submit_in "$2" --submit "$3"' \
        - "$source" "$work/after-rename" "$OCS_URL"
    new=$(cat "$work/state/device-id" 2>/dev/null)
    [ "$(cat "$work/after-rename/status")" = 0 ] && [ -n "$old" ] && [ "$new" != "$old" ] ||
        fail "rename: status $(cat "$work/after-rename/status"), ids '$old' and '$new': $(cat "$work/after-rename/err")"
    [ "$(ocs_sql "SELECT COUNT(*) FROM hardware WHERE DEVICEID IN ('$old', '$new')")" = 1 ] &&
        [ "$(ocs_sql "SELECT NAME FROM hardware WHERE DEVICEID = '$new'")" = moravel-renamed ] ||
        fail "rename: the server holds $(ocs_sql "SELECT DEVICEID, NAME FROM hardware WHERE DEVICEID IN ('$old', '$new')" | tr '\n' ' ')"
else
    echo "skipped the rename: this process may not take a host name of its own (unshare -u)"
fi

# Every USB device of a snapshot its own row, where the server writes a known computer's sections
# row by row (its data map declares usbdevices single-row: without that it keeps one row). In
# that mode the server fails on any single-row section that holds exactly one entry, from any
# agent (a laptop's one battery: "Not an ARRAY reference", HTTP 500), so the workstation goes
# without its battery here.
python3 - "$source/tests/data/workstation.json" "$work/usb.json" <<'PY'
import json, sys
machine = json.load(open(sys.argv[1]))
for battery in ('Win32_Battery', 'BatteryStaticData', 'BatteryFullChargedCapacity', 'BatteryCycleCount'):
    machine['classes'].pop(battery, None)
json.dump(machine, open(sys.argv[2], 'w'))
PY
ocs_sql "UPDATE config SET IVALUE = 1 WHERE NAME = 'INVENTORY_WRITE_DIFF'"
submit_in "$work/usb" --snapshot "$work/usb.json" --submit "$OCS_URL"
[ "$(cat "$work/usb/status")" = 0 ] || fail "usb: $(cat "$work/usb/err")"
"$report" --snapshot "$work/usb.json" --inventory ocs >"$work/usb.xml"
device=$(python3 -c 'import sys, xml.etree.ElementTree as ET; print(ET.parse(sys.argv[1]).getroot().findtext("DEVICEID"))' "$work/usb.xml")
ocs_sql "SELECT u.DESCRIPTION, u.MANUFACTURER, u.SERIAL FROM usbdevices u JOIN hardware h ON h.ID = u.HARDWARE_ID
         WHERE h.DEVICEID = '$device'" --raw >"$work/usb.rows"
python3 - "$work/usb.xml" "$work/usb.rows" <<'PY' || failures=$((failures + 1))
import sys, xml.etree.ElementTree as ET
sent = sorted(tuple(e.findtext(n) or '' for n in ('DESCRIPTION', 'MANUFACTURER', 'SERIAL'))
              for e in ET.parse(sys.argv[1]).getroot().find('CONTENT').findall('USBDEVICES'))
held = sorted(tuple('' if v == 'NULL' else v for v in line.split('\t')) for line in open(sys.argv[2]).read().splitlines())
if len(sent) < 2 or held != sent: sys.exit(f'FAIL: usb: the server holds {held}, Moravel sent {sent}')
PY
ocs_sql "UPDATE config SET IVALUE = 0 WHERE NAME = 'INVENTORY_WRITE_DIFF'"

# A stopped server: one line, status 3, well within the time allowed.
ocs_stop_apache
submit_in "$work/stopped" --snapshot "$source/tests/data/workstation.json" --submit "$OCS_URL" --timeout 5
expect_submit_failure "$work/stopped" "$OCS_URL" "PROLOG: "

[ "$failures" -eq 0 ] && echo "ok: the OCS server holds what Moravel wrote, for this machine and $(ls "$source"/tests/data/*.json | wc -l) snapshots"
exit $((failures > 0))
