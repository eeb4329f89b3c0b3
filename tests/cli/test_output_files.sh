#!/usr/bin/env bash
# moravel-report --output and --save-snapshot write files as a Unix tool does: a device is
# written, not replaced; what the shell could not write is refused; a size limit or Ctrl-C leaves
# no temporary file, nor does any signal that ends the program; a reader that leaves is a failure;
# every failure is one line and status 2; a saved snapshot reads back.
# (test_report_json.sh tries a missing folder and a file size limit.)
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
snapshot="$source/tests/data/desktop.json"
expected="$source/tests/report/expected/desktop.txt"
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
unset MORAVEL_SNAPSHOT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect NAME STATUS [TEXT]: the last run's status, and TEXT in its one line on standard error.
expect() {
    [ "$status" = "$2" ] || fail "$1: exit status $status, expected $2 ($(head -c 300 "$work/err"))"
    [ -z "${3:-}" ] && return
    [ "$(wc -l <"$work/err")" = 1 ] && grep -qF -- "$3" "$work/err" || fail "$1: expected one line with '$3': $(cat "$work/err")"
}

# no_temporary FOLDER NAME: no temporary file left in FOLDER.
no_temporary() {
    local left
    left=$(ls -A "$1" | grep '^\.moravel-')
    [ -z "$left" ] || fail "$2: temporary file left behind: $left"
}

# Devices in a private mount namespace with a /dev of its own: /dev/null and /dev/full bound from
# the machine's, /dev/stdout a link to /proc/self/fd/1 as udev makes it. A program that replaced
# them could at worst fail, never replace the machine's own.
devices() {
    touch "$work/null" "$work/full"
    mount --bind /dev/null "$work/null" && mount --bind /dev/full "$work/full" && mount -t tmpfs tmpfs /dev || exit 77
    touch /dev/null /dev/full && mount --bind "$work/null" /dev/null && mount --bind "$work/full" /dev/full &&
        ln -s /proc/self/fd/1 /dev/stdout || exit 77
    problems=0
    failed() { echo "FAIL: $*"; problems=$((problems + 1)); }
    "$report" --snapshot "$snapshot" --output /dev/stdout >"$work/stdout.txt" && cmp -s "$work/stdout.txt" "$expected" ||
        failed "/dev/stdout to a file"
    "$report" --snapshot "$snapshot" --output /dev/stdout | cat >"$work/piped.txt" && cmp -s "$work/piped.txt" "$expected" ||
        failed "/dev/stdout to a pipe"
    [ -L /dev/stdout ] || failed "/dev/stdout was replaced"
    "$report" --snapshot "$snapshot" --output /dev/null && "$report" --snapshot "$snapshot" --save-snapshot /dev/null ||
        failed "writing to /dev/null"
    [ -c /dev/null ] || failed "/dev/null was replaced"
    "$report" --snapshot "$snapshot" --output /dev/full 2>"$work/full.err"
    [ $? = 2 ] && [ -c /dev/full ] && grep -q "cannot write /dev/full: No space left on device" "$work/full.err" ||
        failed "/dev/full: $(cat "$work/full.err")"
    exit $((problems > 0))
}
namespace=(unshare -m)
[ "$(id -u)" = 0 ] || namespace=(unshare -rm)
export -f devices
export work report snapshot expected
"${namespace[@]}" bash -c devices; status=$?
case $status in
0) ;;
77) echo "SKIP: no private mount namespace here; /dev/stdout, /dev/null and /dev/full not tried" ;;
*) fail "devices in a private mount namespace" ;;
esac

# What the shell could not open for writing is refused; as root, a file of someone else's keeps
# its owner and mode.
mkdir "$work/others" && echo old >"$work/others/readonly.txt" && chmod 444 "$work/others/readonly.txt"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown -R nobody "$work/others"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "$report" --snapshot "$snapshot" --output "$work/others/readonly.txt" 2>"$work/err"; status=$?
    expect "someone else's file" 0
    [ "$(stat -c '%U %a' "$work/others/readonly.txt")" = "nobody 444" ] || fail "owner or mode not kept: $(stat -c '%U %a' "$work/others/readonly.txt")"
    echo old >"$work/others/readonly.txt"
fi
"${as_user[@]}" "$report" --snapshot "$snapshot" --output "$work/others/readonly.txt" 2>"$work/err"; status=$?
expect "a read-only file" 2 "Permission denied"
[ "$(cat "$work/others/readonly.txt")" = old ] || fail "a read-only file was changed"

# A snapshot saves compact and reads back whole (scripts/time-hostile-inputs does this with 10^6).
awk 'BEGIN { printf "{\"classes\": {\"Win32_NetworkAdapter\": ["
             for (i = 0; i < 20000; i++) printf "%s{\"Name\": \"Adapter %d\"}", (i ? "," : ""), i
             printf "]}}" }' >"$work/many.json"
mkdir "$work/saved"
"$report" --snapshot "$work/many.json" --save-snapshot "$work/saved/many.json" 2>"$work/err"; status=$?
expect "saving 20,000 objects" 0
"$report" --snapshot "$work/saved/many.json" --json >"$work/many.out" 2>"$work/err"; status=$?
expect "reading 20,000 saved objects back" 0
"$report" --snapshot "$work/many.json" --json | cmp -s - "$work/many.out" || fail "the saved snapshot reports differently"
[ "$(wc -l <"$work/saved/many.json")" = 1 ] || fail "the saved snapshot is not compact"

# A signal while a 4 MB report is written: the temporary file goes with the program, whichever
# ending signal a handler may catch (Ctrl-C, Ctrl-\, a timer, a pipe, a user's signal). The
# program is stopped once its temporary file appears, so the signal comes while the file is written.
{ printf '{"classes": {"Win32_Processor": [{"Name": "'; head -c 4000000 /dev/zero | tr '\0' M; printf '"}]}}'; } >"$work/large.json"
ulimit -c 0  # SIGQUIT dumps no core here
"$report" --snapshot "$work/large.json" >"$work/large.expected" 2>/dev/null
interrupt() {  # interrupt SIGNAL
    local signal=$1 interrupted= attempt pid
    for attempt in 1 2 3 4 5; do
        rm -f "$work/saved/large.txt"
        set -m  # a background job of a script otherwise ignores SIGINT
        "$report" --snapshot "$work/large.json" --output "$work/saved/large.txt" 2>/dev/null &
        pid=$!
        set +m
        until compgen -G "$work/saved/.moravel-*" >/dev/null || ! kill -0 $pid 2>/dev/null; do :; done
        kill -STOP $pid 2>/dev/null
        if compgen -G "$work/saved/.moravel-*" >/dev/null; then
            kill -"$signal" $pid && kill -CONT $pid
            wait $pid; status=$?
            [ $status = $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: exit status $status"
            # A signal that comes after the file took its name finds the report whole; never a part of it.
            [ ! -e "$work/saved/large.txt" ] || cmp -s "$work/saved/large.txt" "$work/large.expected" ||
                fail "SIG$signal: a part of the report was left under its name"
            interrupted=yes
            break
        fi
        kill -CONT $pid 2>/dev/null; wait $pid; rm -f "$work/saved/large.txt"
    done
    [ -n "$interrupted" ] || echo "SKIP: the write was never caught under way; SIG$signal not tried"
    no_temporary "$work/saved" "SIG$signal"
}
for signal in INT QUIT ALRM USR1 PIPE; do interrupt $signal; done

# A FIFO whose reader leaves after one byte: a line and status 2, not a silent end by SIGPIPE.
mkfifo "$work/fifo"
python3 - "$work/fifo" "$work/reading" <<'PY' &
import os, sys
fd = os.open(sys.argv[1], os.O_RDWR)  # a reader at once (Linux), whose read waits for the data
open(sys.argv[2], 'w').close()
os.read(fd, 1)
PY
reader=$!
for _ in $(seq 200); do [ -e "$work/reading" ] && break; sleep 0.05; done
"$report" --snapshot "$work/large.json" --output "$work/fifo" 2>"$work/err"; status=$?
expect "a FIFO whose reader leaves" 2 "cannot write $work/fifo: Broken pipe"
wait $reader

[ $failures = 0 ] || exit 1
echo "files written as a Unix tool writes them"
