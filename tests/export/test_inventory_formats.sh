#!/usr/bin/env bash
# --inventory glpi of this machine and of every test snapshot validates against GLPI's published
# schema (../shared/glpi); --inventory ocs is well-formed XML of the request form, and written to
# a .ocs file it is the same XML, zlib-compressed.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
schema="$source/../shared/glpi/inventory.schema.json"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# This machine directly, and once recorded (its values move between runs: free space, clocks).
names=(live)
env -u MORAVEL_SNAPSHOT "$report" --inventory glpi >"$work/live.json" || fail "live: --inventory glpi failed"
env -u MORAVEL_SNAPSHOT "$report" --inventory ocs >"$work/live.xml" || fail "live: --inventory ocs failed"
env -u MORAVEL_SNAPSHOT "$report" --save-snapshot "$work/recorded.snapshot" || fail "live: --save-snapshot failed"
for snapshot in "$work/recorded.snapshot" "$source"/tests/data/*.json; do
    name=$(basename "${snapshot%.snapshot}" .json)
    names+=("$name")
    "$report" --snapshot "$snapshot" --inventory glpi >"$work/$name.json" || fail "$name: --inventory glpi failed"
    "$report" --snapshot "$snapshot" --inventory ocs >"$work/$name.xml" || fail "$name: --inventory ocs failed"
    "$report" --snapshot "$snapshot" --inventory ocs --output "$work/$name.ocs" || fail "$name: --output FILE.ocs failed"
done

python3 - "$work" "${names[@]}" <<'PY' || failures=$((failures + 1))
import os, sys, zlib, xml.etree.ElementTree as ET
work, names, bad = sys.argv[1], sys.argv[2:], 0
ET.fromstring(open(os.path.join(work, 'live.xml'), 'rb').read())
for name in names[1:]:
    xml = open(os.path.join(work, name + '.xml'), 'rb').read()
    root = ET.fromstring(xml)
    if [child.tag for child in root] != ['CONTENT', 'DEVICEID', 'QUERY'] or root.findtext('QUERY') != 'INVENTORY':
        print(f'FAIL: {name}: the XML is not an inventory REQUEST'); bad += 1
    if zlib.decompress(open(os.path.join(work, name + '.ocs'), 'rb').read()) != xml:
        print(f'FAIL: {name}: the .ocs file is not the XML, compressed'); bad += 1
sys.exit(bad)
PY

if [ ! -f "$schema" ]; then
    echo "skipped the GLPI schema check: $schema is absent (it lives beside the checkout in ../shared/glpi)"
elif ! python3 -c 'import jsonschema' 2>/dev/null; then
    fail "python3-jsonschema is not installed (scripts/install-deps installs it)"
else
    python3 - "$schema" "$work" "${names[@]}" <<'PY' || failures=$((failures + 1))
import json, os, sys, jsonschema
schema, work, names = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3:]
validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
bad = 0
for name in names:
    document = json.load(open(os.path.join(work, name + '.json')))
    for error in validator.iter_errors(document):
        print(f'FAIL: {name}: {error.json_path}: {error.message[:200]}'); bad += 1
    if document.get('itemtype') != 'Computer' or not document['content']['versionclient'].startswith('Moravel-'):
        print(f'FAIL: {name}: itemtype or versionclient'); bad += 1
print(f'{len(names)} GLPI inventories checked against the schema')
sys.exit(1 if bad else 0)
PY
fi
[ "$failures" -eq 0 ] && echo "ok: GLPI JSON valid, OCS XML well-formed, .ocs compressed"
exit $((failures > 0))
