#!/usr/bin/env bash
# A snapshot saved on this machine replays as the live report: every field the same, except the
# ones that move between two runs (available memory, free disk space).
set -euo pipefail
report="$MORAVEL_BUILD_DIR/moravel-report"
[ -x "$report" ] || { echo "moravel-report is not built"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

steady() {
  sed -E -e 's/("label":"Available Memory:","text":")[^"]*"/\1#"/' \
         -e 's/FreeSpace: -?[0-9]+ GB/FreeSpace: # GB/g' "$1"
}

"$report" --json > "$work/live.json"
"$report" --save-snapshot "$work/machine.json" > "$work/save.out"
[ ! -s "$work/save.out" ] || { echo "--save-snapshot wrote to standard output:"; cat "$work/save.out"; exit 1; }
grep -q '"Win32_Processor"' "$work/machine.json" || { echo "the snapshot lacks Win32_Processor"; exit 1; }
"$report" --snapshot "$work/machine.json" --json > "$work/replayed.json"
"$report" --snapshot "$work/machine.json" --json > "$work/replayed-again.json"

if ! diff <(steady "$work/live.json" | tr '{' '\n') <(steady "$work/replayed.json" | tr '{' '\n'); then
  echo "the replayed snapshot differs from the live report"
  exit 1
fi
# A snapshot is fixed: its replays agree to the last field, volatile ones included.
cmp "$work/replayed.json" "$work/replayed-again.json"
echo "live report reproduced from $(wc -c < "$work/machine.json") bytes of snapshot"
