#!/usr/bin/env bash
# This machine's installed software, checked against what its package tools say: --inventory
# glpi lists every package dpkg-query lists as installed (name, version, architecture), and
# every package `rpm -qa` lists where an RPM database is in use; --inventory ocs has as many
# SOFTWARES. Nothing on standard error: the machine's databases are sound.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
report="$build/moravel-report"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

listed=0
if command -v dpkg-query >/dev/null; then
    dpkg-query -W -f '${db:Status-Status}\t${Package}\t${Version}\t${Architecture}\n' |
        awk -F'\t' '$1 == "installed" { print "deb\t" $2 "\t" $3 "\t" $4 }' >>"$work/expected"
    listed=1
fi
if command -v rpm >/dev/null && [ -s /var/lib/rpm/rpmdb.sqlite ]; then
    rpm -qa --qf 'rpm\t%{NAME}\t%{EVR}\t%{ARCH}\n' | sed 's/\t(none)$/\t/' >>"$work/expected"
    listed=1
fi
[ $listed = 1 ] || { echo "skipped: neither dpkg nor rpm keeps this machine's packages"; exit 77; }

env -u MORAVEL_SNAPSHOT "$report" --inventory glpi >"$work/glpi.json" 2>"$work/glpi.err" || fail "--inventory glpi failed"
env -u MORAVEL_SNAPSHOT "$report" --inventory ocs >"$work/ocs.xml" 2>"$work/ocs.err" || fail "--inventory ocs failed"
[ -s "$work/glpi.err" ] && fail "standard error: $(head -c 300 "$work/glpi.err")"
python3 - "$work" <<'PY' || failures=$((failures + 1))
import json, sys, xml.etree.ElementTree as ET
work = sys.argv[1]
expected = sorted(tuple(line.rstrip('\n').split('\t')) for line in open(f'{work}/expected'))
software = json.load(open(f'{work}/glpi.json'))['content'].get('softwares', [])
packages = sorted((s['from'], s['name'], s.get('version', ''), s.get('arch', '')) for s in software
                  if s.get('from') in ('deb', 'rpm'))
if packages != expected:
    missing, extra = sorted(set(expected) - set(packages)), sorted(set(packages) - set(expected))
    print(f'FAIL: --inventory glpi lists {len(packages)} packages, the package tools {len(expected)}; '
          f'missing {missing[:5]}, not installed {extra[:5]}')
    sys.exit(1)
rows = len(ET.parse(f'{work}/ocs.xml').getroot().find('CONTENT').findall('SOFTWARES'))
if rows != len(software):
    print(f'FAIL: --inventory ocs has {rows} SOFTWARES, --inventory glpi {len(software)} softwares')
    sys.exit(1)
print(f'{len(expected)} packages, as the package tools list them')
PY
[ "$failures" -eq 0 ] && echo "ok: the inventory lists this machine's packages"
exit $((failures > 0))
