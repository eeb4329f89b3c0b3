#!/usr/bin/env bash
# The inventory of this machine against what the machine itself says: the distribution's release
# (/etc/debian_version, os-release), each disk under the name and with the size lsblk -b gives,
# as many PCI controllers as lspci lists, the DNS servers of /etc/resolv.conf and the hypervisor
# systemd-detect-virt names. A tool the machine lacks skips its check with a line.
set -u
build=${MORAVEL_BUILD_DIR:?set by ctest}
report="$build/moravel-report"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "skipped: $*"; }

env -u MORAVEL_SNAPSHOT "$report" --inventory glpi >"$work/glpi.json" || { echo "FAIL: --inventory glpi"; exit 1; }
env -u MORAVEL_SNAPSHOT "$report" --inventory ocs >"$work/ocs.xml" || { echo "FAIL: --inventory ocs"; exit 1; }
# field EXPRESSION: an expression of the GLPI document d, printed.
field() { python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$work/glpi.json" "$1"; }

# The release: Debian's point release where debian_version carries one, else VERSION_ID.
version_id=$(. /etc/os-release 2>/dev/null; echo "${VERSION_ID:-}")
point=$(head -1 /etc/debian_version 2>/dev/null)
expected=$version_id
[[ "$point" =~ ^[0-9.]+$ ]] && { [ -z "$version_id" ] || [ "$point" = "$version_id" ] || [[ "$point" == "$version_id".* ]]; } &&
    expected=$point
if [ -n "$expected" ]; then
    [ "$(field 'd["content"]["operatingsystem"]["version"]')" = "$expected" ] || fail "OS version: $(field 'd["content"]["operatingsystem"]')"
    grep -qF "<OSVERSION>$expected</OSVERSION>" "$work/ocs.xml" || fail "OSVERSION is not $expected"
    [ "$(field 'd["content"]["operatingsystem"]["kernel_version"]')" = "$(uname -r)" ] || fail "kernel_version is not uname -r"
else
    skip "the OS version: this system names no release"
fi

# Each disk as lsblk names and sizes it, and every disk lsblk lists with media in the inventory.
if command -v lsblk >/dev/null; then
    lsblk -b -d -n -p -o NAME,SIZE,TYPE >"$work/lsblk" 2>/dev/null
    python3 - "$work/glpi.json" "$work/lsblk" <<'PY' || failures=$((failures + 1))
import json, re, sys
storages = json.load(open(sys.argv[1]))['content'].get('storages', [])
disks = {}
for line in open(sys.argv[2]):
    name, size, kind = line.split()
    if kind == 'disk': disks[name] = int(size)
bad = 0
for storage in storages:
    if storage['name'] not in disks or storage.get('disksize') != disks[storage['name']] >> 20:
        print(f"FAIL: the inventory's disk {storage['name']} of {storage.get('disksize')} MiB is not lsblk's: {disks}"); bad += 1
# Devices that are no disks of their own (RAM, loop, device-mapper, md, network, compressed RAM)
named = {s['name'] for s in storages}
for name, size in disks.items():
    if size and not re.match(r'/dev/(zram|ram|loop|dm-|md|nbd|sr)', name) and name not in named:
        print(f'FAIL: lsblk lists {name}, the inventory does not'); bad += 1
sys.exit(bad)
PY
else
    skip "disks: no lsblk"
fi

# As many controllers as lspci lists.
if command -v lspci >/dev/null && [ -d /sys/bus/pci/devices ]; then
    [ "$(field 'len(d["content"].get("controllers", []))')" = "$(lspci | wc -l)" ] ||
        fail "controllers: $(field 'len(d["content"].get("controllers", []))'), lspci lists $(lspci | wc -l)"
else
    skip "controllers: no lspci or no PCI bus"
fi

# The resolver's servers, each once, in order.
servers=$(awk '$1 == "nameserver" && NF > 1 && !seen[$2]++ { printf "%s%s", sep, $2; sep = "/" }' /etc/resolv.conf 2>/dev/null)
if [ -n "$servers" ]; then
    [ "$(field 'd["content"]["hardware"].get("dns", "")')" = "$servers" ] || fail "DNS: $(field 'd["content"]["hardware"].get("dns")'), resolv.conf: $servers"
    grep -qF "<DNS>$servers</DNS>" "$work/ocs.xml" || fail "DNS is not in the OCS hardware section"
else
    skip "DNS: /etc/resolv.conf names no server"
fi

# The hypervisor systemd names, by the name inventory servers file it under.
if command -v systemd-detect-virt >/dev/null; then
    virt=$(systemd-detect-virt --vm 2>/dev/null)
    case "$virt" in
    none) expected=Physical ;; kvm) expected=KVM ;; qemu) expected=QEMU ;; vmware) expected=VMware ;;
    oracle) expected=VirtualBox ;; microsoft) expected=Hyper-V ;; xen) expected=Xen ;; parallels) expected=Parallels ;;
    bhyve) expected=bhyve ;; acrn) expected=ACRN ;; qnx) expected="QNX Hypervisor" ;; apple) expected="Apple Virtualization" ;;
    *) expected="" ;;
    esac
    if [ -n "$expected" ]; then
        [ "$(field 'd["content"]["hardware"].get("vmsystem")')" = "$expected" ] ||
            fail "vmsystem: $(field 'd["content"]["hardware"].get("vmsystem")'), systemd-detect-virt --vm: $virt"
    else
        skip "vmsystem: systemd-detect-virt says '$virt'"
    fi
else
    skip "vmsystem: no systemd-detect-virt"
fi

[ "$failures" -eq 0 ] && echo "ok: release, disks, controllers, DNS and hypervisor as this machine says them"
exit $((failures > 0))
