#!/usr/bin/env bash
# The inventory service's system-call filter lets a submission through: every system call
# moravel-report makes reading this machine, sending it to a stand-in OCS server named in its configuration file and keeping its
# device id (traced with strace) is one the unit's SystemCallFilter= lines allow, as systemd
# expands their groups. A filter that refused one would end the service with EPERM, silently.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
unit="$build/install/moravel-inventory.service"
for tool in strace systemd-analyze; do
    command -v $tool >/dev/null || { echo "skipped: no $tool here"; exit 77; }
done
[ -f "$unit" ] || { echo "FAIL: the configured unit $unit is missing"; exit 1; }
strace -qq -o /dev/null true 2>/dev/null || { echo "skipped: this process may not trace (ptrace refused)"; exit 77; }
work=$(mktemp -d)
python3 "$source/tests/support/fake_inventory_server.py" "$work/requests.log" >"$work/port" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
mkdir "$work/state"
# As the service runs it: the server from its configuration file, read by the program.
printf 'SERVER=http://127.0.0.1:%s/ocs/ocsinventory\n' "$(cat "$work/port")" >"$work/inventory.conf"
chmod 600 "$work/inventory.conf"

# LeakSanitizer cannot work under a tracer; the rest of the sanitizers stay.
env -u MORAVEL_SNAPSHOT ASAN_OPTIONS=detect_leaks=0 STATE_DIRECTORY="$work/state" \
    strace -f -qq -o "$work/trace" "$report" --config "$work/inventory.conf" \
    >"$work/out" 2>&1 || { echo "FAIL: the traced submission: $(cat "$work/out")"; exit 1; }
[ -s "$work/state/device-id" ] || { echo "FAIL: the traced submission kept no device id"; exit 1; }

python3 - "$unit" "$work/trace" <<'PY'
import re, subprocess, sys
groups = {}
def expand(name):
    if not name.startswith('@'): return {name}
    if name not in groups:
        lines = subprocess.run(['systemd-analyze', 'syscall-filter', name], capture_output=True, text=True).stdout.splitlines()
        groups[name] = set()
        for line in lines[1:]:
            word = line.strip()
            if word and not word.startswith('#') and word != name: groups[name] |= expand(word)
    return groups[name]
allowed, denied = set(), set()
for line in open(sys.argv[1]):
    if line.startswith('SystemCallFilter='):
        words = line.split('=', 1)[1].split()
        deny = words and words[0].startswith('~')
        for word in words: (denied if deny else allowed).update(expand(word.lstrip('~')))
if not allowed: sys.exit('FAIL: the unit has no SystemCallFilter= allow list')
used = {m.group(1) for m in (re.match(r'\d+\s+([a-z0-9_]+)\(', l) for l in open(sys.argv[2])) if m}
refused = sorted(used - (allowed - denied))
if refused: sys.exit(f'FAIL: the service would refuse {refused}')
print(f'ok: the {len(used)} system calls of a submission are all ones the service allows')
PY
