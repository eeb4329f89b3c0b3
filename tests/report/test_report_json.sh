#!/usr/bin/env bash
# moravel-report end to end: the JSON and text reports of described machines compared whole
# with their expected files, the statistics line, help, version and the refusals.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
data="$source/tests/data"
expected="$source/tests/report/expected"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run NAME ARGS...: runs the report with standard output, standard error and status kept apart.
run() {
    local name=$1
    shift
    env -u MORAVEL_SNAPSHOT "$report" "$@" >"$work/$name.out" 2>"$work/$name.err"
    echo $? >"$work/$name.status"
}

expect_status() {
    [ "$(cat "$work/$1.status")" = "$2" ] || fail "$1: exit status $(cat "$work/$1.status"), expected $2"
}

expect_empty() {
    [ ! -s "$work/$1.$2" ] || fail "$1: standard ${2/out/output}${2/err/ error} is not empty: $(head -c 200 "$work/$1.$2")"
}

expect_one_line() {
    [ "$(wc -l <"$work/$1.err")" = 1 ] || fail "$1: expected one line on standard error, got: $(cat "$work/$1.err")"
    grep -qF -- "$2" "$work/$1.err" || fail "$1: standard error does not mention '$2': $(cat "$work/$1.err")"
}

for machine in desktop laptop; do
    run "$machine" --json --snapshot "$data/$machine.json"
    expect_status "$machine" 0
    expect_empty "$machine" err
    cmp -s "$work/$machine.out" "$expected/$machine.json" ||
        fail "$machine: JSON report differs from $expected/$machine.json:
$(diff <(tr ',' '\n' <"$expected/$machine.json") <(tr ',' '\n' <"$work/$machine.out") | head -20)"
done

# The snapshot may also come from the environment.
MORAVEL_SNAPSHOT="$data/laptop.json" "$report" --json >"$work/env.out" 2>"$work/env.err"
cmp -s "$work/env.out" "$expected/laptop.json" || fail "MORAVEL_SNAPSHOT: report differs from the --snapshot one"

run text --snapshot "$data/desktop.json"
expect_status text 0
cmp -s "$work/text.out" "$expected/desktop.txt" ||
    fail "text: report differs from $expected/desktop.txt:
$(diff "$expected/desktop.txt" "$work/text.out" | head -20)"

# Today's Windows 11 machines, read as a person reads them: NVMe disks, cards above 4 GiB,
# the virtual printers of Windows 11 passed over.
for machine in win11-laptop win11-desktop; do
    run "$machine-text" --snapshot "$data/$machine.json"
    cmp -s "$work/$machine-text.out" "$expected/$machine.txt" ||
        fail "$machine: report differs from $expected/$machine.txt:
$(diff "$expected/$machine.txt" "$work/$machine-text.out" | head -20)"
done

run stats --stats --snapshot "$data/desktop.json"
expect_status stats 0
cmp -s "$work/stats.out" "$expected/desktop.txt" || fail "stats: --stats changed standard output"
grep -Eqx 'queries: [1-9][0-9]*, elapsed: [0-9]+\.[0-9] ms' "$work/stats.err" && [ "$(wc -l <"$work/stats.err")" = 1 ] ||
    fail "stats: unexpected statistics: $(cat "$work/stats.err")"
run inventory-stats --stats --inventory ocs --snapshot "$data/desktop.json"
expect_status inventory-stats 0
"$report" --inventory ocs --snapshot "$data/desktop.json" | cmp -s - "$work/inventory-stats.out" ||
    fail "inventory-stats: --stats changed the inventory"
grep -Eqx 'inventory pass, elapsed: [0-9]+\.[0-9] ms' "$work/inventory-stats.err" && [ "$(wc -l <"$work/inventory-stats.err")" = 1 ] ||
    fail "inventory-stats: unexpected statistics: $(cat "$work/inventory-stats.err")"

run version --version
expect_status version 0
[ "$(cat "$work/version.out")" = "moravel-report ${MORAVEL_VERSION:?the version comes from ctest}" ] || fail "version: $(cat "$work/version.out")"

run help --help
expect_status help 0
expect_empty help err
for option in --json --stats --snapshot --save-snapshot --redact --output --help --version MORAVEL_SNAPSHOT Ctrl+Shift+C Ctrl+S; do
    grep -q -- "$option" "$work/help.out" || fail "help: $option is not described"
done

run unknown --frobnicate
expect_status unknown 2
expect_empty unknown out
expect_one_line unknown "--frobnicate"

run stray desktop.json
expect_status stray 2
expect_one_line stray "desktop.json"

run noarg --snapshot
expect_status noarg 2
expect_one_line noarg "--snapshot"

run missing --snapshot "$work/no-such-file.json"
expect_status missing 2
expect_empty missing out
expect_one_line missing "no-such-file.json"

printf '{"classes": {"Win32_BIOS": [ {"Version": "1.0"} ]\n\n' >"$work/broken.json"
run broken --json --snapshot "$work/broken.json"
expect_status broken 2
expect_empty broken out
expect_one_line broken "broken.json"

MORAVEL_SNAPSHOT="$work/broken.json" "$report" >"$work/envbroken.out" 2>"$work/envbroken.err"
[ $? = 2 ] || fail "a broken MORAVEL_SNAPSHOT does not give status 2"
expect_empty envbroken out

# A saved snapshot reads back to the same report.
run save --save-snapshot "$work/saved.json" --snapshot "$data/desktop.json"
expect_status save 0
expect_empty save out
run reread --json --snapshot "$work/saved.json"
cmp -s "$work/reread.out" "$expected/desktop.json" || fail "save: the saved snapshot gives another report: $(head -c 300 "$work/reread.err")"

run unwritable --save-snapshot "$work/no/such/folder/saved.json" --snapshot "$data/desktop.json"
expect_status unwritable 2
expect_one_line unwritable "saved.json: No such file or directory"

# A report cut short by a full disk (here a file-size limit, whose signal the program ignores
# itself) leaves neither the file nor a temporary one, and says why with status 2.
mkdir "$work/full"
(ulimit -f 1; exec env -u MORAVEL_SNAPSHOT "$report" --snapshot "$data/desktop.json" \
    --output "$work/full/report.txt") >"$work/full.out" 2>"$work/full.err"
echo $? >"$work/full.status"
expect_status full 2
expect_one_line full "report.txt: File too large"
[ -z "$(ls -A "$work/full")" ] || fail "full: left behind: $(ls -A "$work/full")"

[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all report checks passed"
