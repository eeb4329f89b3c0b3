# Running moravel-report --submit in a folder of its own against the stand-in server and
# checking how it ended; sourced by the submission tests. Needs $report (the program), $source
# (the checkout), $work (the test's folder) and a fail function.

# start_fake_server NAME [CERTIFICATE KEY]: the stand-in inventory server in the background, its
# requests logged in $work/NAME.log; once it listens (within 5 s), its port is in $fake_port.
fake_servers=()
start_fake_server() {
    local name=$1
    shift
    python3 "$source/tests/support/fake_inventory_server.py" "$work/$name.log" "$@" >"$work/$name.port" &
    fake_servers+=($!)
    for _ in $(seq 100); do [ -s "$work/$name.port" ] && break; sleep 0.05; done
    fake_port=$(cat "$work/$name.port")
}
stop_fake_servers() {
    kill "${fake_servers[@]}" 2>/dev/null
    wait "${fake_servers[@]}" 2>/dev/null
}

# submit_in DIR ARGS...: runs the report with ARGS in the empty folder DIR; its standard output,
# standard error and status go to DIR/out, DIR/err and DIR/status. A run still going after 60 s
# is stopped (status 124), so a missing time limit shows as a failure instead of a hang. The
# device id is kept in SUBMIT_STATE if set, else nowhere (never in the machine's /var/lib/moravel).
submit_in() {
    local dir=$1
    shift
    mkdir -p "$dir"
    (cd "$dir" && env -u MORAVEL_SNAPSHOT -u http_proxy -u HTTP_PROXY -u https_proxy -u HTTPS_PROXY \
        STATE_DIRECTORY="${SUBMIT_STATE:-/nonexistent/moravel-state}" timeout 60 "$report" "$@" >out 2>err
     echo $? >status)
}

# expect_submit_failure DIR URL WORDS: status 3, one line naming URL and WORDS, nothing else.
expect_submit_failure() {
    local dir=$1 status
    status=$(cat "$dir/status")
    [ "$status" = 3 ] || fail "$dir: status $status, expected 3 (124: still running after 60 s)"
    [ "$(wc -l <"$dir/err")" = 1 ] || fail "$dir: expected one line: $(cat "$dir/err")"
    grep -qF -- "moravel-report: $2: $3" "$dir/err" || fail "$dir: expected '$2: $3' in: $(cat "$dir/err")"
    [ ! -s "$dir/out" ] && [ "$(ls "$dir")" = "$(printf 'err\nout\nstatus')" ] || fail "$dir: wrote more than its line"
}
