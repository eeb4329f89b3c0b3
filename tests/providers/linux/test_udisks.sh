#!/usr/bin/env bash
# Disk health without root: the provider's UDisks2 client against a stand-in service on a private
# bus (an NVMe SSD and an ATA hard disk, answering as udisks 2.10 does), and with no service there.
set -euo pipefail
tools=$MORAVEL_BUILD_DIR/tests
for tool in fake_udisks udisks_health; do
  [ -x "$tools/$tool" ] || { echo "skipped: $tool is not built"; exit 77; }
done
command -v dbus-daemon >/dev/null || { echo "skipped: dbus-daemon is not installed"; exit 77; }
work=$(mktemp -d)
daemon=""; service=""
cleanup() {
  [ -z "$service" ] || kill "$service" 2>/dev/null || true
  [ -z "$daemon" ] || kill "$daemon" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/bus.conf" <<CONF
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-pid >"$work/daemon.pid" 2>"$work/daemon.err" &
daemon=$!
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"
for _ in $(seq 200); do [ -S "$work/bus" ] && break; sleep 0.05; done
[ -S "$work/bus" ] || { echo "the private bus did not start: $(cat "$work/daemon.err")"; exit 1; }

# No service on the bus: nothing, at once.
"$tools/udisks_health" >"$work/none.txt"
[ ! -s "$work/none.txt" ] || { echo "without UDisks2 the client found drives:"; cat "$work/none.txt"; exit 1; }

"$tools/fake_udisks" "$work/ready" &
service=$!
for _ in $(seq 200); do [ -s "$work/ready" ] && break; sleep 0.05; done
[ -s "$work/ready" ] || { echo "the stand-in UDisks2 did not start"; exit 1; }
"$tools/udisks_health" >"$work/drives.txt"
cat >"$work/expected.txt" <<TEXT
/dev/nvme0n1 failing=0 warning=2 kelvin=310 used=23 hours=14200 cycles=1873 media=0
/dev/sda failing=1 hours=21340 cycles=3311 celsius=35 reallocated=51 pending=2
/dev/sda1 failing=1 hours=21340 cycles=3311 celsius=35 reallocated=51 pending=2
TEXT
if ! diff "$work/expected.txt" "$work/drives.txt"; then
  echo "UDisks2's answers read otherwise than served"
  exit 1
fi
echo "UDisks2: an NVMe SSD and a failing hard disk read through sd-bus; nothing without the service"
