#!/usr/bin/env bash
# The version is written once, in project() of CMakeLists.txt: no other source file repeats it,
# in dotted (1.2.3, 1.2.3.0, 1\.2\.3) or comma (1,2,3,0) form.
set -euo pipefail
cd "${MORAVEL_SOURCE_DIR:-$(dirname "$0")/../..}"
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$(sed -n 's/^project(Moravel VERSION \([0-9]*\.[0-9]*\.[0-9]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "CMakeLists.txt: no project(Moravel VERSION x.y.z ...)"
IFS=. read -r major minor patch <<<"$version"
dotted="(^|[^0-9.])$major\\\\?\\.$minor\\\\?\\.$patch([^0-9]|$)"  # 1\.2\.3 too
commas="(^|[^0-9,])$major *, *$minor *, *$patch([^0-9]|$)"

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard)
else
  mapfile -t files < <(find . -type f ! -path './.git/*' ! -path './build*' | sed 's|^\./||')
fi
copies=$(for f in "${files[@]}"; do [ -f "$f" ] && grep -HnIE "$dotted|$commas" "$f"; done |
  grep -v '^CMakeLists.txt:[0-9]*:project(Moravel VERSION' || true)
[ -z "$copies" ] || fail "the version $version is written again:
$copies"
echo "ok: version $version is written once, in ${#files[@]} files"
