#!/usr/bin/env bash
# `cmake --install` of the build, staged: exactly the files a desktop, man and bash need, each
# valid and usable as installed, with no build-folder path in them.
set -euo pipefail
build=${MORAVEL_BUILD_DIR:?run through ctest}
source_dir=${MORAVEL_SOURCE_DIR:?run through ctest}
version=${MORAVEL_VERSION:?run through ctest}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >"$stage/install.log"
root=$stage/usr
share=$root/share

expected="bin/moravel-report
share/applications/moravel.desktop
share/bash-completion/completions/moravel-report
lib/systemd/system/moravel-inventory.service
lib/systemd/system/moravel-inventory.timer
share/man/man1/moravel-report.1.gz
share/man/man1/moravel.1.gz
share/metainfo/org.example.moravel.metainfo.xml"
for size in 16 32 48 128 256; do expected+=$'\n'"share/icons/hicolor/${size}x$size/apps/moravel.png"; done
[ -x "$build/moravel" ] && expected+=$'\n'"bin/moravel"$'\n'"share/bash-completion/completions/moravel"
# The configuration file is /etc/moravel/inventory.conf whatever the prefix, as README and the man
# page say.
conf=$(cd "$stage" && find . -name inventory.conf | sed 's|^\.||')
[ "$conf" = /etc/moravel/inventory.conf ] || fail "inventory.conf installed as '$conf'"
grep -qF /etc/moravel/inventory.conf "$source_dir/README.md" &&
  zcat "$share/man/man1/moravel-report.1.gz" | grep -qF /etc/moravel/inventory.conf ||
  fail "README or the man page names another configuration file"
diff <(sort <<<"$expected") <(cd "$root" && find . \( -type f -o -type l \) ! -name inventory.conf | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected ones (< expected, > installed)"

[ "$("$root/bin/moravel-report" --version)" = "moravel-report $version" ] || fail "installed --version"
for size in 16 32 48 128 256; do
  [ "$(identify -format %wx%h "$share/icons/hicolor/${size}x$size/apps/moravel.png")" = "${size}x$size" ] ||
    fail "the ${size}x$size icon has another size"
done
grep -rlIF -e "$build" -e "$source_dir" "$root" && fail "a build or source folder path is in an installed file"

# The desktop entry starts the installed program and names the installed icon.
desktop-file-validate "$share/applications/moravel.desktop" || fail "desktop entry"
grep -qx 'Exec=moravel %f' "$share/applications/moravel.desktop" || fail "desktop entry: Exec"
grep -qx 'Icon=moravel' "$share/applications/moravel.desktop" || fail "desktop entry: Icon"
metainfo=$share/metainfo/org.example.moravel.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$stage/appstream.log" || { cat "$stage/appstream.log"; fail "metainfo"; }
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo: no release $version"
! grep -Eq '(https?://|@)[^<]*example\.' "$metainfo" || fail "metainfo: a placeholder address is what a software centre would show"

# Man pages render without a warning, typeset and on a terminal, and carry the version.
for page in moravel moravel-report; do
  zcat "$share/man/man1/$page.1.gz" >"$stage/$page.1"
  { groff -man -ww -z "$stage/$page.1" && groff -man -Tutf8 -ww -z "$stage/$page.1"; } 2>"$stage/$page.groff" &&
    [ ! -s "$stage/$page.groff" ] || { cat "$stage/$page.groff"; fail "$page.1 renders with warnings"; }
  grep -q "^\.TH .*\"Moravel $version\"" "$stage/$page.1" || fail "$page.1: no version in .TH"
done

# The inventory service has the installed program read the installed configuration file itself,
# so no password it holds is ever on a command line; only its owner reads the file. The service's
# memory and time are bounded. Nothing configured ends the run with one line and status 0; a
# server, a tag and a timeout written in the file are what the program sends with.
service=$root/lib/systemd/system/moravel-inventory.service
grep -qx "ConditionPathExists=$conf" "$service" && grep -qx "ExecStart=/[^ ]*/bin/moravel-report --config $conf" "$service" ||
  fail "the service names another file or command"
grep -qx 'MemoryMax=[0-9]*[KMG]' "$service" && grep -qx 'TimeoutStartSec=[0-9]*min' "$service" ||
  fail "the service's memory or time is not bounded"
[ "$(stat -c %a "$stage$conf")" = 600 ] || fail "inventory.conf is installed with mode $(stat -c %a "$stage$conf")"
grep -qx 'WantedBy=timers.target' "$root/lib/systemd/system/moravel-inventory.timer" || fail "the timer cannot be enabled"
if command -v systemd-analyze >/dev/null; then
  # The unit names the program where the build's prefix puts it; here it is in the stage.
  mkdir "$stage/units"
  sed "s|^ExecStart=[^ ]*|ExecStart=$root/bin/moravel-report|" "$service" >"$stage/units/moravel-inventory.service"
  cp "$root/lib/systemd/system/moravel-inventory.timer" "$stage/units/"
  systemd-analyze verify --man=no "$stage/units/moravel-inventory.service" "$stage/units/moravel-inventory.timer" \
    2>"$stage/verify.log" || { cat "$stage/verify.log"; fail "systemd-analyze verify"; }
  # Hardened as systemd rates it: an exposure of 3.0 or less is "OK".
  systemd-analyze security --offline=yes --no-pager "$stage/units/moravel-inventory.service" >"$stage/security.log" 2>&1 || true
  exposure=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\) .*/\1/p' "$stage/security.log")
  [ -n "$exposure" ] && awk -v e="$exposure" 'BEGIN { exit !(e <= 3.0) }' ||
    { tail -20 "$stage/security.log"; fail "systemd-analyze security rates the service ${exposure:-unknown}, above 3.0"; }
fi
# No server named yet: one line for the journal, and no failure.
status=0; env -i "$root/bin/moravel-report" --config "$stage$conf" 2>"$stage/none.err" || status=$?
[ "$status" = 0 ] && [ "$(cat "$stage/none.err")" = "moravel-report: $stage$conf names no server (SERVER=): nothing was sent" ] ||
  fail "the service without a server: $status $(cat "$stage/none.err")"
sed 's|^SERVER=$|SERVER=http://127.0.0.1:9/ocsinventory|; s|^TAG=$|TAG="lab 2"|; s|^TIMEOUT=$|TIMEOUT=3|' "$stage$conf" \
  >"$stage/configured.conf"
status=0; env -i "$root/bin/moravel-report" --config "$stage/configured.conf" 2>"$stage/sent.err" || status=$?
[ "$status" = 3 ] && grep -q '^moravel-report: http://127.0.0.1:9/ocsinventory: PROLOG: ' "$stage/sent.err" ||
  fail "the service's configuration: $status $(cat "$stage/sent.err")"

# Every option --help describes is completed by bash and described in the man page.
. "$share/bash-completion/completions/moravel-report"
COMP_WORDS=(moravel-report --) COMP_CWORD=1
_moravel_report
for option in $("$root/bin/moravel-report" --help | grep -o -- '--[a-z-]*' | sort -u); do
  [[ " ${COMPREPLY[*]} " == *" $option "* ]] || fail "bash completion lacks $option"
  grep -qF -- "${option//-/\\-}" "$stage/moravel-report.1" || fail "moravel-report.1 lacks $option"
done
mkdir -p "$stage/files/records" && cd "$stage/files" && touch machine.json notes.txt
COMP_WORDS=(moravel-report --snapshot "") COMP_CWORD=2
_moravel_report
[ "${COMPREPLY[*]}" = "machine.json records" ] ||
  fail "--snapshot completes '${COMPREPLY[*]}', not the JSON file and the folder"
# After "=": bash splits "--snapshot=ma" into "--snapshot" "=" "ma" (or keeps it whole).
complete_words() { COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)); _moravel_report; echo "${COMPREPLY[*]}"; }
[ "$(complete_words moravel-report --snapshot =)" = "machine.json records" ] || fail "--snapshot= completes nothing"
[ "$(complete_words moravel-report --output = no)" = "notes.txt" ] || fail "--output=no does not complete notes.txt"
[ "$(complete_words moravel-report --compare machine.json "")" = "machine.json records" ] ||
  fail "--compare OLD does not complete NEW as a snapshot"
[ "$(complete_words moravel-report --save-snapshot=ma)" = "--save-snapshot=machine.json" ] ||
  fail "--save-snapshot=ma as one word does not complete"
# The window's own options too, and a snapshot alone.
if [ -x "$build/moravel" ]; then
  . "$share/bash-completion/completions/moravel"
  complete_window() { COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)); _moravel; echo "${COMPREPLY[*]}"; }
  for option in $("$root/bin/moravel" --help | grep -o -- '--[a-z-]*' | sort -u); do
    [[ " $(complete_window moravel --) " == *" $option "* ]] || fail "moravel's bash completion lacks $option"
    grep -qF -- "${option//-/\\-}" "$stage/moravel.1" || fail "moravel.1 lacks $option"
  done
  [ "$(complete_window moravel "")" = "machine.json records" ] || fail "moravel does not complete a snapshot alone"
  [ "$(complete_window moravel --snapshot=ma)" = "--snapshot=machine.json" ] || fail "moravel --snapshot=ma"
fi
cd "$stage"
echo "ok: $(wc -l <<<"$expected") files installed and checked"

# `make uninstall` takes away every installed file and the folders the install created; a
# folder that was there before stays, with what else it holds.
mkdir -p "$stage/again/usr/share/man/man1"
touch "$stage/again/usr/share/man/man1/other.1.gz"
DESTDIR=$stage/again cmake --install "$build" --prefix /usr >"$stage/install.log"
[ -x "$stage/again/usr/bin/moravel-report" ] || fail "the second install put no moravel-report in place"
DESTDIR=$stage/again cmake --build "$build" --target uninstall >"$stage/uninstall.log" ||
  { cat "$stage/uninstall.log"; fail "make uninstall"; }
left=$(cd "$stage/again" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./usr ./usr/share ./usr/share/man ./usr/share/man/man1 ./usr/share/man/man1/other.1.gz " ] ||
  fail "left after uninstall: $left"
echo "ok: uninstall removed the installed files and the folders the install created, nothing else"
