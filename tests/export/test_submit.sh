#!/usr/bin/env bash
# --submit against a stand-in server on loopback: the OCS exchange (PROLOG, then INVENTORY, both
# zlib, the XML that --inventory ocs prints) and the GLPI one (the JSON of --inventory glpi); a
# stopped server, one that never answers, an HTTP 500, a garbage reply, a refusal, an https
# server with a certificate nobody signed, and servers that flood headers or trailers, trickle,
# send a zlib bomb or a reply too long to quote each end with one line and status 3, bounded by
# --timeout and the reply caps; nothing is written locally.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
source=${MORAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
report="$build/moravel-report"
snapshot="$source/tests/data/workstation.json"
work=$(mktemp -d)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$source/tests/support/submit_checks.sh"
trap 'stop_fake_servers; rm -rf "$work"' EXIT
start_fake_server requests
base="http://127.0.0.1:$fake_port"
# The same over https, with a certificate no authority signed.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" \
    >/dev/null 2>&1
start_fake_server tls "$work/cert.pem" "$work/key.pem"
tls_port=$fake_port
# A port nothing listens on: taken from the system, then let go.
stopped=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# submit NAME URL [TIMEOUT]: the workstation snapshot sent to URL, in a folder named NAME.
submit() { submit_in "$work/$1" --snapshot "$snapshot" --submit "$2" --timeout "${3:-10}" --tag lab; }

submit ocs "$base/ocs/ocsinventory"
[ "$(cat "$work/ocs/status")" = 0 ] || fail "ocs: status $(cat "$work/ocs/status"): $(cat "$work/ocs/err")"
"$report" --snapshot "$snapshot" --inventory ocs --tag lab >"$work/expected.xml"
python3 - "$work/requests.log" "$work/expected.xml" <<'PY' || failures=$((failures + 1))
import json, sys
requests = [json.loads(line) for line in open(sys.argv[1])]
expected, bad = open(sys.argv[2]).read(), 0
queries = [r['body'].split('<QUERY>')[1].split('<')[0] for r in requests]
if queries != ['PROLOG', 'INVENTORY']: print('FAIL: ocs: queries', queries); bad += 1
if any(r['type'] != 'application/x-compress' or not r['agent'].startswith('OCS-NG_unified_unix_agent_v') for r in requests):
    print('FAIL: ocs: content type or user agent', requests[0]['type'], requests[0]['agent']); bad += 1
if len(requests) == 2 and requests[1]['body'] != expected: print('FAIL: ocs: the inventory sent is not what --inventory ocs prints'); bad += 1
sys.exit(bad)
PY
: >"$work/requests.log"

submit glpi "$base/glpi/front/inventory.php"
[ "$(cat "$work/glpi/status")" = 0 ] || fail "glpi: status $(cat "$work/glpi/status"): $(cat "$work/glpi/err")"
"$report" --snapshot "$snapshot" --inventory glpi --tag lab >"$work/expected.json"
python3 -c 'import json, sys; r = json.loads(open(sys.argv[1]).readline())
sys.exit(0 if r["type"] == "application/json" and json.loads(r["body"]) == json.load(open(sys.argv[2])) else 1)' \
    "$work/requests.log" "$work/expected.json" || fail "glpi: the document sent is not what --inventory glpi prints"

failure() { expect_submit_failure "$work/$1" "$2" "$3"; }
submit stopped "http://127.0.0.1:$stopped/ocsinventory"
failure stopped "http://127.0.0.1:$stopped/ocsinventory" "PROLOG: "
submit silent "$base/silent/ocsinventory" 2
failure silent "$base/silent/ocsinventory" "PROLOG: no reply within the time allowed"
submit error500 "$base/error500/ocsinventory"
failure error500 "$base/error500/ocsinventory" "PROLOG: the server answered HTTP 500"
submit garbage "$base/garbage/ocsinventory"
failure garbage "$base/garbage/ocsinventory" "PROLOG: the reply is not an OCS Inventory reply"
submit glpisilent "$base/silent/front/inventory.php" 2
failure glpisilent "$base/silent/front/inventory.php" "inventory: no reply within the time allowed"
# A libcurl before 7.85 cannot keep a transfer (and its redirects) to http and https: refused.
LD_LIBRARY_PATH="$build/old-libcurl" submit oldcurl "$base/ocs/ocsinventory"
failure oldcurl "$base/ocs/ocsinventory" "PROLOG: this libcurl cannot keep a transfer to http and https (7.85 or later needed)"
submit untrusted "https://127.0.0.1:$tls_port/ocs/ocsinventory"
failure untrusted "https://127.0.0.1:$tls_port/ocs/ocsinventory" "PROLOG: SSL certificate problem"
[ ! -s "$work/tls.log" ] || fail "untrusted: the inventory went to a server whose certificate nobody vouches for"
submit glpirefuses "$base/glpirefuses/front/inventory.php"
failure glpirefuses "$base/glpirefuses/front/inventory.php" "inventory: the server answered HTTP 400: 'JSON does not validate'"

# The device id kept where the service runs: a live submission keeps the id it sent; after a
# rename (a host name of this process's own) the next one names the old id to OCS and keeps the
# new; a snapshot of another machine sent from here leaves it alone.
inventory_body() { python3 -c 'import json, sys; print([json.loads(l)["body"] for l in open(sys.argv[1])][-1])' "$work/requests.log"; }
mkdir -p "$work/state"
: >"$work/requests.log"
SUBMIT_STATE="$work/state" submit_in "$work/kept" --submit "$base/ocs/ocsinventory"
first=$(cat "$work/state/device-id" 2>/dev/null)
[ "$(cat "$work/kept/status")" = 0 ] && [[ "$first" == "$(cat /proc/sys/kernel/hostname)-"* ]] ||
    fail "kept: status $(cat "$work/kept/status"), device-id '$first'"
inventory_body | grep -q OLD_DEVICEID && fail "kept: a first submission names an old id"
if unshare -u true 2>/dev/null; then
    : >"$work/requests.log"
    SUBMIT_STATE="$work/state" report="$report" unshare -u bash -c \
        'hostname moravel-renamed && source "$1/tests/support/submit_checks.sh" && submit_in "$2" --submit "$3"' \
        - "$source" "$work/renamed" "$base/ocs/ocsinventory"
    [ "$(cat "$work/renamed/status")" = 0 ] || fail "renamed: status $(cat "$work/renamed/status"): $(cat "$work/renamed/err")"
    inventory_body | grep -qF "<OLD_DEVICEID>$first</OLD_DEVICEID>" || fail "renamed: the old id is not named"
    [[ "$(cat "$work/state/device-id")" == moravel-renamed-* ]] || fail "renamed: kept $(cat "$work/state/device-id")"
else
    echo "skipped the rename: this process may not take a host name of its own (unshare -u)"
fi
kept=$(cat "$work/state/device-id")
SUBMIT_STATE="$work/state" submit_in "$work/another" --snapshot "$snapshot" --submit "$base/ocs/ocsinventory"
[ "$(cat "$work/state/device-id")" = "$kept" ] && ! inventory_body | grep -q OLD_DEVICEID ||
    fail "another machine's snapshot touched this machine's device id"

# Hostile servers: every byte they send counts (headers and trailers with the body) and the
# deadline holds in every phase; what they say is named truly and quoted short, UTF-8 kept.
submit trailers "$base/trailers/ocsinventory"
failure trailers "$base/trailers/ocsinventory" "PROLOG: the reply's headers (and trailers) are larger than 64 KiB"
submit trickle "$base/trickle/front/inventory.php" 2
failure trickle "$base/trickle/front/inventory.php" "inventory: no reply within the time allowed"
submit headers "$base/headers/ocsinventory"
failure headers "$base/headers/ocsinventory" "PROLOG: the reply's headers (and trailers) are larger than 64 KiB"
submit longheader "$base/longheader/ocsinventory"
failure longheader "$base/longheader/ocsinventory" "PROLOG: the reply's headers (and trailers) are larger than 64 KiB"
submit bomb "$base/bomb/ocsinventory"
failure bomb "$base/bomb/ocsinventory" "PROLOG: the reply inflates to more than 1 MiB"
submit longresponse "$base/longresponse/ocsinventory"
failure longresponse "$base/longresponse/ocsinventory" "INVENTORY: the server did not take the inventory (RESPONSE 'RRRRR"
[ "$(wc -c <"$work/longresponse/err")" -lt 300 ] || fail "longresponse: a line of $(wc -c <"$work/longresponse/err") bytes"
submit glpistatus "$base/glpistatus/front/inventory.php"
failure glpistatus "$base/glpistatus/front/inventory.php" "inventory: the server refused the inventory (status '1')"
submit glpiutf8 "$base/glpiutf8/front/inventory.php"
failure glpiutf8 "$base/glpiutf8/front/inventory.php" \
    "inventory: the server answered HTTP 400: 'Ungültiges Inventar: «content» fehlt'"

[ "$failures" -eq 0 ] && echo "ok: OCS and GLPI exchanges as their agents make them; every failure one line and status 3"
exit $((failures > 0))
