#!/usr/bin/env bash
# `make package`'s Debian package: its name, the dependencies shlibdeps computed with a font of
# Arial's widths, what it recommends and suggests, the installed files plus the Debian copyright
# and changelog, the service's configuration root's alone, no lintian error or warning, an
# extracted moravel-report that prints the report, and the same bytes from a second build in
# another folder. The package stays in $MORAVEL_BUILD_DIR/package for the clean-root install test.
set -euo pipefail
build=${MORAVEL_BUILD_DIR:?run through ctest}
source_dir=${MORAVEL_SOURCE_DIR:?run through ctest}
version=${MORAVEL_VERSION:?run through ctest}
out=$build/package
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

JOBS=2 bash "$source_dir/scripts/build-package" "$out" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build-package"; }
deb=$out/moravel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libfltk1.3 libstdc++6 libudev1 zlib1g; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $depends == *"fonts-liberation | fonts-liberation2 | fonts-croscore | fonts-urw-base35"* ]] ||
  fail "Depends lacks a font of Arial's widths: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = "pci.ids | hwdata, libcurl4" ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[ "$(dpkg-deb -f "$deb" Suggests)" = "cups-client" ] || fail "Suggests: $(dpkg-deb -f "$deb" Suggests)"
! dpkg-deb -f "$deb" | grep -i '^Homepage:.*example' || fail "a placeholder homepage"
[ -n "$(dpkg-deb -f "$deb" Description | sed -n '2p')" ] || fail "no extended description"

DESTDIR=$work/stage cmake --install "$out" >/dev/null
dpkg-deb -c "$deb" | awk '!/^d/ {print $NF}' | sort >"$work/files"
diff <(cd "$work/stage" && find . -type f | sort) "$work/files" ||
  fail "the package's files differ from the installed ones (< installed, > package)"
grep -qx './usr/share/doc/moravel/copyright' "$work/files" || fail "no copyright file"
dpkg-deb -c "$deb" >"$work/listing"
grep -q '^-rw------- root/root .* \./etc/moravel/inventory\.conf$' "$work/listing" ||
  fail "the package's inventory.conf is not root's alone: $(grep inventory.conf "$work/listing")"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/moravel-report" --snapshot "$source_dir/tests/data/desktop.json" >"$work/report.txt"
cmp -s "$work/report.txt" "$source_dir/tests/report/expected/desktop.txt" || fail "the extracted moravel-report's report differs"

# Reproducible: another folder, another time, the same bytes.
JOBS=2 bash "$source_dir/scripts/build-package" "$work/again" >"$work/again.log" 2>&1 || { cat "$work/again.log"; fail "second build-package"; }
cmp "$deb" "$work/again/$(basename "$deb")" || fail "a second build in another folder gives other bytes"
release_date=$(sed -n 's/^set(MORAVEL_RELEASE_DATE \([0-9-]*\))$/\1/p' "$source_dir/resources/version.cmake")
[ "$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | awk '{print $4}' | sort -u)" = "$release_date" ] ||
  fail "file times are not the release date's ($release_date)"
echo "ok: $(basename "$deb"), the same bytes from two builds; Depends: $depends"
