#!/usr/bin/env bash
# The whole inventory on this machine costs milliseconds: the median of eleven runs of the
# report's own measure must stay far below what a per-query database parse, a directory walk
# per property or a wait on a missing service would cost (the bound allows for sanitizers).
# The fuller inventory's pass (--inventory, --submit) must stay under 20 ms the same way.
# A wall-clock bound, so `make bench` runs it (MORAVEL_BUILD_DIR: the build with moravel-report).
set -euo pipefail
report="$MORAVEL_BUILD_DIR/moravel-report"
[ -x "$report" ] || { echo "moravel-report is not built"; exit 77; }

# median_of_11 PATTERN BOUND_MS ARGS...: the report run eleven times with --stats and ARGS; the
# median of the times on its statistics line (PATTERN) must be below BOUND_MS.
median_of_11() {
  local pattern=$1 bound_ms=$2 line median times=()
  shift 2
  for _ in $(seq 11); do
    line=$("$report" --stats "$@" 2>&1 >/dev/null | grep "$pattern")
    times+=("$(sed -E 's/.*elapsed: ([0-9.]+) ms.*/\1/' <<<"$line")")
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 6p)
  echo "$line; median of 11: $median ms"
  awk -v m="$median" -v b="$bound_ms" 'BEGIN { exit !(m < b) }' || { echo "slower than $bound_ms ms"; return 1; }
}

median_of_11 '^queries:' "${MORAVEL_SPEED_BOUND_MS:-500}"
median_of_11 '^inventory pass' "${MORAVEL_INVENTORY_BOUND_MS:-20}" --inventory glpi
