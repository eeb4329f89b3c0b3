#!/usr/bin/env bash
# --compare grows as n log n in time and as n in memory, so a seller's snapshot cannot hang a
# buyer's check. Machines of a million and of a hundred thousand disks (the workstation of
# tests/data with its disks replaced), each comparison measured as processor time (user +
# system: what a loaded machine does not inflate), wall time and peak resident memory, the
# fastest of three runs:
#   - a million disks against the same million: within twice the plain reports of both files;
#   - the same with one disk replaced, where every item is read and paired (measured, no bound);
#   - a hundred thousand disks against a hundred thousand others: under 5 s of processor time;
#   - a million disks against the workstation, under a limit of address space it cannot meet:
#     one line on standard error and status 2.
# A wall-clock bound, so `make bench` runs it (MORAVEL_BUILD_DIR: the build with moravel-report).
set -euo pipefail
cd "$(dirname "$0")/.."
report="$MORAVEL_BUILD_DIR/moravel-report"
[ -x "$report" ] || { echo "moravel-report is not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
with open("tests/data/workstation.json") as f:
    machine = json.load(f)
machine["classes"]["Win32_PhysicalMedia"] = []
def write(name, disks):
    machine["classes"]["Win32_DiskDrive"] = []
    head, tail = json.dumps(machine).split('"Win32_DiskDrive": []')
    with open(f"{work}/{name}.json", "w") as f:
        f.write(head + '"Win32_DiskDrive": [' + ",".join(disks) + "]" + tail)
disk = '{"SerialNumber":"S%d"}'  # the file stays under the 32 MiB a snapshot may take
million = [disk % i for i in range(1000000)]
write("million", million)
write("million-copy", million)
million[500000] = disk % 2000000
write("million-one-other", million)
write("first", [disk % i for i in range(100000)])
write("second", [disk % (i + 1000000) for i in range(100000)])
PY

# fastest NAME command...: the fastest of three runs; sets cpu (s), wall (s) and rss (KB).
fastest() {
  local name=$1 best="" line status
  shift
  for _ in 1 2 3; do
    status=0
    line=$(/usr/bin/time -f "%U %S %e %M" "$@" 2>&1 >/dev/null | tail -n1) || status=$?
    [ "$status" -le 1 ] || { echo "$name: status $status"; return 1; }
    line=$(awk '{ printf "%.2f %.2f %d", $1 + $2, $3, $4 }' <<<"$line")
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN { split(a, x); split(b, y); exit !(x[1] < y[1]) }'; then
      best=$line
    fi
  done
  read -r cpu wall rss <<<"$best"
  printf '%-42s cpu %6.2f s  wall %6.2f s  peak %7d KB\n' "$name" "$cpu" "$wall" "$rss"
}

fastest "plain report, a million disks" "$report" --snapshot "$work/million.json"
plain_cpu=$cpu plain_rss=$rss
fastest "plain report, its copy" "$report" --snapshot "$work/million-copy.json"
plain_cpu=$(awk -v a="$plain_cpu" -v b="$cpu" 'BEGIN { print a + b }') plain_rss=$((plain_rss + rss))
fastest "--compare, a million against the same" "$report" --compare "$work/million.json" "$work/million-copy.json"
echo "  against both plain reports: processor time $(awk -v a="$cpu" -v b="$plain_cpu" 'BEGIN { printf "%.2f", a / b }')x, memory $(awk -v a="$rss" -v b="$plain_rss" 'BEGIN { printf "%.2f", a / b }')x"
awk -v a="$cpu" -v b="$plain_cpu" -v m="$rss" -v n="$plain_rss" 'BEGIN { exit !(a <= 2 * b && m <= 2 * n) }' ||
  { echo "more than twice the plain reports"; exit 1; }
fastest "--compare, one disk of a million other" "$report" --compare "$work/million.json" "$work/million-one-other.json"
fastest "--compare, 100,000 against 100,000 others" "$report" --compare "$work/first.json" "$work/second.json"
awk -v a="$cpu" 'BEGIN { exit !(a < 5) }' || { echo "slower than 5 s"; exit 1; }

# Under a limit of address space a million items cannot be paired in: one line, status 2.
status=0
(ulimit -v 400000; "$report" --compare "$work/million.json" tests/data/workstation.json >/dev/null 2>"$work/err") ||
  status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] ||
  { echo "under ulimit -v: status $status, $(wc -l <"$work/err") lines: $(head -c 300 "$work/err")"; exit 1; }
echo "--compare under ulimit -v 400000: status 2, one line: $(cat "$work/err")"
