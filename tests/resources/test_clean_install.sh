#!/usr/bin/env bash
# The package as a new user gets it: a fresh minimal Debian 12 (mmdebstrap, variant minbase),
# the .deb of test_package installed with apt, which must pull in a font of Arial's widths;
# moravel-report runs there; `apt-get purge` leaves nothing of the package behind.
# It builds a root file system from the network and mounts, so it runs where CI is set or with
# `make test-package`.
set -euo pipefail
build=${MORAVEL_BUILD_DIR:?run through ctest}
version=${MORAVEL_VERSION:?run through ctest}
if [ -z "${CI:-}" ] && [ -z "${MORAVEL_TEST_PACKAGE:-}" ]; then
  echo "SKIP: installs into a fresh Debian root (network, root); run it with 'make test-package' or CI=1"
  exit 77
fi
command -v mmdebstrap >/dev/null || { echo "FAIL: mmdebstrap is missing (scripts/install-deps)" >&2; exit 1; }
deb=$build/package/moravel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $deb (resources/test_package makes it)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# In the root: install with apt, note which font came along and what the package owns, run the
# report, purge, and note what of it is left: files and folders no package owns any more.
cat >"$work/inside.sh" <<INSIDE
set -e
cd /tmp
apt-get install -y -q ./$(basename "$deb")
for font in fonts-liberation fonts-liberation2 fonts-croscore fonts-urw-base35; do
  dpkg-query -W -f='\${Status}' "\$font" 2>/dev/null | grep -q ' installed\$' && echo "\$font"
done >fonts.txt || true
dpkg -L moravel >owned.txt
moravel-report >report.txt 2>report.err || true
apt-get purge -y -q moravel
dpkg-query -W -f='\${Status}' moravel >status.txt 2>/dev/null || true
while read -r path; do
  if [ -e "\$path" ] || [ -L "\$path" ]; then dpkg -S "\$path" >/dev/null 2>&1 || echo "\$path"; fi
done <owned.txt >left.txt
ls /var/lib/dpkg/info | grep '^moravel\.' >>left.txt || true
INSIDE
cp "$deb" "$work/"
mmdebstrap --quiet --variant=minbase \
  --customize-hook="cp '$work/inside.sh' '$work/$(basename "$deb")' \"\$1/tmp/\"" \
  --customize-hook='chroot "$1" sh /tmp/inside.sh' \
  --customize-hook="cp \"\$1\"/tmp/*.txt \"\$1\"/tmp/report.err '$work/'" \
  bookworm "$work/root" >"$work/mmdebstrap.log" 2>&1 ||
  { cat "$work/mmdebstrap.log"; fail "mmdebstrap, or apt in the root"; }

[ -s "$work/fonts.txt" ] || { cat "$work/mmdebstrap.log"; fail "apt installed no font of Arial's widths"; }
grep -q '^  Computer Name:' "$work/report.txt" || { cat "$work/report.err"; fail "moravel-report did not run in the clean root"; }
[ "$(cat "$work/status.txt")" != "install ok installed" ] || fail "moravel is still installed after purge"
[ ! -s "$work/left.txt" ] || fail "left after purge: $(tr '\n' ' ' <"$work/left.txt")"
echo "ok: installed into a fresh Debian 12 with $(tr '\n' ' ' <"$work/fonts.txt")and purged without a trace"
