#!/usr/bin/env bash
# Every class of code point, and bytes that begin no character, through both exporters: the OCS
# XML parses with two real XML parsers (Python's expat and libxml2's xmllint), the GLPI JSON with
# Python's, and each value reads back as promised: what XML 1.0 cannot hold (the C0 controls but
# tab, line feed and carriage return; U+FFFE, U+FFFF) is U+FFFD in the XML and itself in the
# JSON, a byte that begins no character (surrogates included) U+FFFD in both, the rest unchanged.
# Raw bytes come in through --tag, JSON-escaped characters through a snapshot's computer name.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
command -v xmllint >/dev/null || { echo "FAIL: xmllint is not installed (scripts/install-deps installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$build/moravel-report" "$source/tests/data/workstation.json" "$work" <<'PY'
import json, os, subprocess, sys, xml.etree.ElementTree as ET
report, snapshot, work = sys.argv[1:]
R = '\ufffd'
# (what, bytes in, text the XML gives back, text the JSON gives back)
cases = [
    ('letters', b'ab', 'ab', 'ab'),  # first: the inventory trims a name's leading white space
    ('tab, line feed', b'\t\n', '\t\n', '\t\n'),
    ('carriage return', b'\r', '\r', '\r'),
    ('C0 controls', b'\x01\x08\x0b\x0c\x1b\x1f', R * 6, '\x01\x08\x0b\x0c\x1b\x1f'),
    ('DEL and C1', '\x7f\x80\x9f'.encode(), '\x7f\x80\x9f', '\x7f\x80\x9f'),
    ('markup', b'&<>"\']]>', '&<>"\']]>', '&<>"\']]>'),
    ('last before surrogates, first after', '\ud7ff\ue000'.encode(), '\ud7ff\ue000', '\ud7ff\ue000'),
    ('surrogates as bytes', b'\xed\xa0\x80\xed\xbf\xbf', R * 6, R * 6),
    ('noncharacters XML takes', '\ufdd0\U0001fffe'.encode(), '\ufdd0\U0001fffe', '\ufdd0\U0001fffe'),
    ('byte-order mark, replacement', '\ufeff\ufffd'.encode(), '\ufeff\ufffd', '\ufeff\ufffd'),
    ('U+FFFE, U+FFFF', '\ufffe\uffff'.encode(), R * 2, '\ufffe\uffff'),
    ('beyond the BMP', '\U00010000\U0010ffff'.encode(), '\U00010000\U0010ffff', '\U00010000\U0010ffff'),
    ('bidi override', '\u202e'.encode(), '\u202e', '\u202e'),
    ('stray continuation', b'\x80\xbf', R * 2, R * 2),
    ('overlong', b'\xc0\x80\xe0\x80\x80', R * 5, R * 5),
    ('beyond U+10FFFF, 0xF5', b'\xf4\x90\x80\x80\xf5', R * 5, R * 5),
    ('cut short', b'\xe2\x82', R * 2, R * 2),
]
tag = b'|'.join(c[1] for c in cases)
want_xml = '|'.join(c[2] for c in cases)
want_json = '|'.join(c[3] for c in cases)
assert len(want_xml) < 255  # the width OCS clips KEYVALUE to
bad = 0

def run(*args):
    result = subprocess.run([report, '--snapshot', snapshot, *args], capture_output=True)
    if result.returncode != 0:
        sys.exit(f'FAIL: {args}: status {result.returncode}: {result.stderr!r}')
    return result.stdout

def compare(what, got, want):
    global bad
    if got == want: return
    bad += 1
    for case, g, w in zip(cases, got.split('|'), want.split('|')):
        if g != w: print(f'FAIL: {what}: {case[0]}: {g!r}, expected {w!r}')
    if got.count('|') != want.count('|'): print(f'FAIL: {what}: {got!r}, expected {want!r}')

def parsed_xml(name, document):
    global bad
    path = os.path.join(work, name)
    open(path, 'wb').write(document)
    lint = subprocess.run(['xmllint', '--noout', path], capture_output=True)
    if lint.returncode != 0:
        bad += 1
        print(f'FAIL: {name}: xmllint: {lint.stderr.decode(errors="replace").strip()[:300]}')
    try:
        return ET.fromstring(document)
    except ET.ParseError as error:
        sys.exit(f'FAIL: {name}: {error}')

def parsed_json(document):
    return json.loads(document.decode('utf-8', errors='strict'))

root = parsed_xml('tag.xml', run('--inventory', 'ocs', '--tag', tag))
compare('OCS KEYVALUE', root.find('CONTENT/ACCOUNTINFO/KEYVALUE').text, want_xml)
compare('GLPI tag', parsed_json(run('--inventory', 'glpi', '--tag', tag))['tag'], want_json)

# The same characters escaped in a snapshot's JSON (which holds no raw bytes that are no UTF-8).
machine = json.load(open(snapshot))
chosen = [c for c in cases if c[1].decode('utf-8', errors='ignore').encode() == c[1]]
name = '|'.join(c[1].decode() for c in chosen)
machine['classes']['Win32_ComputerSystem'][0]['Name'] = name
snapshot = os.path.join(work, 'named.json')
json.dump(machine, open(snapshot, 'w'), ensure_ascii=True)
cases = chosen
root = parsed_xml('name.xml', run('--inventory', 'ocs'))
compare('OCS NAME', root.find('CONTENT/HARDWARE/NAME').text, '|'.join(c[2] for c in cases))
if not root.find('DEVICEID').text.startswith('|'.join(c[2] for c in cases) + '-'):
    bad += 1; print(f'FAIL: OCS DEVICEID: {root.find("DEVICEID").text!r}')
compare('GLPI name', parsed_json(run('--inventory', 'glpi'))['content']['hardware']['name'], '|'.join(c[3] for c in cases))
if bad == 0: print('ok: every code point class well-formed in the OCS XML and the GLPI JSON, as promised')
sys.exit(1 if bad else 0)
PY
