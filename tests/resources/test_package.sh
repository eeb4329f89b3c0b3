#!/usr/bin/env bash
# `make package`'s Debian package: its name, the dependencies shlibdeps computed, the installed
# files plus the Debian copyright and changelog, no lintian error or warning, and an extracted
# moravel-report that prints the report.
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
for library in libc6 libfltk1.3 libstdc++6 libudev1; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Description | sed -n '2p')" ] || fail "no extended description"

DESTDIR=$work/stage cmake --install "$out" >/dev/null
dpkg-deb -c "$deb" | awk '!/^d/ {print $NF}' | sort >"$work/files"
diff <(cd "$work/stage" && find . -type f | sort) "$work/files" ||
  fail "the package's files differ from the installed ones (< installed, > package)"
grep -qx './usr/share/doc/moravel/copyright' "$work/files" || fail "no copyright file"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/moravel-report" --snapshot "$source_dir/tests/data/desktop.json" >"$work/report.txt"
cmp -s "$work/report.txt" "$source_dir/tests/report/expected/desktop.txt" || fail "the extracted moravel-report's report differs"
echo "ok: $(basename "$deb"), Depends: $depends"
