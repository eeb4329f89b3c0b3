# The checks of test_wine.sh, one function per area, and the helpers it shares with
# test_wine_window.sh; sourced by both, which define pass and fail.

# wine PROGRAM ARGS... with standard output in OUT (line ends made Unix) and standard error in
# OUT.err; the status is the program's.
run_wine() {
  local out=$1
  shift
  wine "$@" >"$out.raw" 2>"$out.err"
  local status=$?
  tr -d '\r' <"$out.raw" >"$out"
  return $status
}

expect_file() {  # NAME FILE EXPECTED-TEXT
  local expected
  expected=$(printf '%b' "$3")
  if [ "$(cat "$2")" == "$expected" ]; then pass "$1"; else
    fail "$1: expected [$expected], got [$(cat "$2")]"
  fi
}

start_prefix() {
  wineserver -p >/dev/null 2>&1
  wine wineboot -i >wineboot.log 2>&1 || { echo "wineboot failed"; cat wineboot.log; exit 1; }
}

le16() { printf '%02x %02x' $(($1 & 255)) $(($1 >> 8)); }

# Icon group 101 with its five sizes, the version block and the manifest of EXE, whose version
# block names it NAME and describes it as DESCRIPTION.
check_resources() {
  local exe=$1 name=$2 description=$3
  wrestool -x --type=14 --name=101 "$exe" >group.ico 2>/dev/null
  icotool -l group.ico | sed -e 's/--index=[0-9]* //' -e 's/ --palette-size=0//' >icons.txt
  expect_file "icon group 101: 256, 128, 48, 32 and 16 pixels at 32 bits" icons.txt \
    "--icon --width=256 --height=256 --bit-depth=32\n--icon --width=128 --height=128 --bit-depth=32\n--icon --width=48 --height=48 --bit-depth=32\n--icon --width=32 --height=32 --bit-depth=32\n--icon --width=16 --height=16 --bit-depth=32"

  wrestool -x --raw --type=16 "$exe" >version.bin 2>/dev/null
  local bytes
  bytes=$(od -An -v -tx1 version.bin | tr -s ' \n' ' ')
  # VS_FIXEDFILEINFO: signature, structure version, then file and product version; a version
  # a.b.c.d is stored as the little-endian 16-bit words b a d c (here d is 0).
  local major minor patch fixed version=${MORAVEL_VERSION:?the version comes from ctest}.0
  IFS=. read -r major minor patch <<<"$MORAVEL_VERSION"
  fixed="$(le16 "$minor") $(le16 "$major") $(le16 0) $(le16 "$patch")"
  if [[ $bytes == *"bd 04 ef fe 00 00 01 00 $fixed $fixed"* ]]; then
    pass "fixed file and product version $version"
  else fail "fixed file and product version are not $version"; fi
  # Translation: U.S. English (0x409), Unicode code page (1200 = 0x4b0).
  if [[ $bytes == *"09 04 b0 04"* ]]; then pass "translation U.S. English, Unicode"; else fail "translation"; fi
  strings -el version.bin >version.txt
  local entry
  for entry in "StringFileInfo 040904B0" "FileDescription $description" "ProductName Moravel" \
    "InternalName $name" "OriginalFilename $name" "FileVersion $version" "ProductVersion $version"; do
    if tr '\n' ' ' <version.txt | grep -qF " ${entry} "; then pass "$exe: version string $entry"; else
      fail "$exe: version string $entry missing"; fi
  done

  wrestool -x --raw --type=24 "$exe" >manifest.xml 2>/dev/null
  if grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' manifest.xml; then
    pass "manifest requests asInvoker without uiAccess"
  else fail "manifest execution level"; fi
  grep -o '<[A-Za-z][A-Za-z:]*' manifest.xml | sort -u | tr '\n' ' ' >elements.txt
  expect_file "manifest declares nothing else" elements.txt \
    "<assembly <requestedExecutionLevel <requestedPrivileges <security <trustInfo "
}

# One query through the probe: its standard output, line ends made Unix.
probe_query() {  # OUT INDEX QUERY PROPERTY
  local out=$1
  shift
  run_wine "$out" moravel-probe.exe query "$@"
}

check_failures() {
  # Classes Wine does not have: the query runs and returns no object.
  probe_query absent.txt 0 "SELECT * FROM Win32_MemoryArray" EndingAddress
  expect_file "a class Wine lacks gives empty text and no diagnostic" absent.txt "text=[]"

  # A property the class lacks: wmic refuses it, the query gives empty text and says nothing.
  run_wmic wmic_owner.txt Win32_ComputerSystem PrimaryOwnerName
  local wmic_status=$?
  probe_query owner.txt 0 "SELECT * FROM Win32_ComputerSystem" PrimaryOwnerName
  if [ $wmic_status -ne 0 ]; then
    expect_file "a property the class lacks gives empty text and no diagnostic" owner.txt "text=[]"
  else
    fail "wmic knows Win32_ComputerSystem.PrimaryOwnerName; pick another missing property"
  fi
  probe_query nosuch.txt 0 "SELECT * FROM Win32_OperatingSystem" NoSuchProperty
  expect_file "an unknown property name gives empty text and no diagnostic" nosuch.txt "text=[]"

  # A malformed query: ExecQuery refuses it with WBEM_E_INVALID_QUERY.
  probe_query malformed.txt 0 "SELECT * FORM Win32_Processor" Name
  expect_file "a malformed query gives empty text and the query diagnostic" malformed.txt \
    "Query for operating system name failed. Error code = 0x80041017\ntext=[]"

  # Past the last object: empty, silent.
  probe_query beyond.txt 1 "SELECT * FROM Win32_OperatingSystem" Caption
  expect_file "an index past the last object gives empty text" beyond.txt "text=[]"

  # The conversion table on values Wine really delivers, against wmic.
  run_wmic wmic_ram.txt Win32_VideoController AdapterRAM
  local ram
  ram=$(head -1 wmic_ram.txt)
  [ -n "$ram" ] && [ "$ram" -lt 0 ] && ram=$((ram + 4294967296))
  probe_query ram.txt 0 "SELECT * FROM Win32_VideoController" AdapterRAM
  expect_file "VT_I4 AdapterRAM as unsigned decimal" ram.txt "text=[$ram]"
  probe_query ipenabled.txt 0 "SELECT * FROM Win32_NetworkAdapterConfiguration" IPEnabled
  expect_file "VT_BOOL gives VT_BOOL!" ipenabled.txt "text=[VT_BOOL!]"
}

check_apartment() {
  run_wine apartment.txt moravel-probe.exe apartment
  local caption
  caption=$(sed -n 's/^text1=\[\(.*\)\]$/\1/p' apartment.txt)
  if [ -n "$caption" ]; then pass "queries inside the toolkit's apartment read values"; else
    fail "no value inside an existing apartment: $(cat apartment.txt)"; fi
  expect_file "the toolkit's apartment outlives the queries" apartment.txt \
    "first=S_OK\ntext1=[$caption]\ntext2=[$caption]\napartment=kept"
}

# Wine's version for one program, read back before it counts: on a busy machine a wine process
# can fail to start, and reg's status alone was once not enough.
set_app_version() {  # PROGRAM VERSION
  local key="HKCU\\Software\\Wine\\AppDefaults\\$1" attempt
  for attempt in 1 2 3; do
    wine reg add "$key" /v Version /d "$2" /f >reg.out 2>&1
    wine reg query "$key" /v Version >reg.query 2>&1 && tr -d '\r' <reg.query | grep -q "REG_SZ *$2\$" && return 0
  done
  return 1
}

# The version line and the notice decision, at Wine's default version and with the program
# set to Windows 8 (and 10, which still reports 6.2 to a program whose manifest names no OS).
check_version() {
  run_wine version_default.txt moravel-probe.exe version
  expect_file "default prefix: version line 6<tab>1, progress window" version_default.txt "6\t1\nnotice=0"
  local version
  for version in win8 win10; do
    cp moravel-probe.exe "probe-$version.exe"
    set_app_version "probe-$version.exe" "$version" || { fail "$version: reg add: $(cat reg.out)"; continue; }
    run_wine "version_$version.txt" "probe-$version.exe" version
    expect_file "$version: version line 6<tab>2, notice box" "version_$version.txt" "6\t2\nnotice=1"
  done
}

# Every value the saved snapshot records, against wmic's answer for the same class, object and
# property. Strings compare as text, VT_I4 as wmic's signed number, VT_BOOL as -1/0, VT_NULL as a
# blank cell; arrays and other types are counted as not compared.
check_snapshot_against_wmic() {
  run_wine save.txt moravel-report.exe --save-snapshot snapshot.json
  if [ $? -ne 0 ] || [ ! -s snapshot.json ]; then
    fail "moravel-report.exe --save-snapshot: $(cat save.txt.err)"
    return
  fi
  pass "moravel-report.exe --save-snapshot wrote $(wc -c <snapshot.json) bytes"
  run_wine recorded.txt moravel-probe.exe recorded snapshot.json || fail "the probe cannot read the snapshot: $(cat recorded.txt.err)"
  # One wmic run per class and property.
  sort -t $'\t' -k1,1 -k3,3 -k2,2n recorded.txt >recorded.sorted
  local compared=0 skipped=0 classes=0 objects=0 class index property kind text previous="" wmic_text
  while IFS=$'\t' read -r class index property kind text; do
    if [ "$kind" = "skip" ]; then skipped=$((skipped + 1)); continue; fi
    if [ "$kind" = "objects" ]; then
      # Classes Wine lacks, or without objects, leave wmic with no rows (and a failure status):
      # where none were recorded, one asking is enough.
      run_wmic wmic_rows.txt "$class" "$property" $(( index > 0 ? 5 : 1 ))
      if [ "$(wc -l <wmic_rows.txt)" -ne "$index" ]; then
        fail "$class: $index objects recorded, wmic lists $(wc -l <wmic_rows.txt)"
      fi
      classes=$((classes + 1))
      continue
    fi
    if [ "$class.$property" != "$previous" ]; then
      previous=$class.$property
      run_wmic wmic_value.txt "$class" "$property" || { fail "wmic knows no $class.$property: $(cat wmic_value.txt.err)"; continue; }
    fi
    wmic_text=$(sed -n "$((index + 1))p" wmic_value.txt)
    text=${text%"${text##*[! ]}"}  # wmic pads its cells: trailing blanks do not count
    if [ "$class.$property" = "Win32_LogicalDisk.FreeSpace" ]; then
      # Free space moves while the tests run, by gigabytes when builds share the disk; 4 GiB still
      # tells a wrong disk or unit apart.
      if [ -z "$wmic_text" ] || [ -z "$text" ] || [ $(( text > wmic_text ? text - wmic_text : wmic_text - text )) -gt 4294967296 ]; then
        fail "$class[$index].$property: recorded [$text], wmic [$wmic_text]"
      fi
    elif [ "$wmic_text" != "$text" ]; then
      fail "$class[$index].$property: recorded [$text], wmic [$wmic_text]"
    fi
    compared=$((compared + 1))
  done <recorded.sorted
  objects=$(grep -c . recorded.sorted)
  if [ $compared -gt 0 ]; then pass "$classes classes and $compared recorded values compared with wmic ($skipped arrays or other types not compared)"; else
    fail "no recorded value to compare ($objects lines)"; fi
}

# moravel-report.exe --json against the Linux build's report of the snapshot the Windows build
# saved. Available memory is read live by both Windows runs: if it moved between them, the
# snapshot is saved again; if it keeps moving, that one text may differ by an eighth of the
# machine's memory (a loaded machine).
check_report_against_linux() {
  local linux_report=$linux_build/moravel-report
  if [ ! -x "$linux_report" ]; then fail "no Linux build at $linux_report"; return; fi
  local attempt
  for attempt in 1 2 3; do
    run_wine windows.json moravel-report.exe --json
    "$linux_report" --json --snapshot snapshot.json >linux.json 2>linux.err
    cmp -s windows.json linux.json && break
    run_wine save.txt moravel-report.exe --save-snapshot snapshot.json
  done
  local fields
  fields=$(grep -o '"text":' windows.json | wc -l)
  if [ "$fields" -eq 38 ]; then pass "moravel-report.exe --json gives 38 texts"; else
    fail "moravel-report.exe --json gives $fields texts"; fi
  if cmp -s windows.json linux.json; then
    pass "the Linux build reports the Windows snapshot with the same 38 texts"
    return
  fi
  tr ',' '\n' <windows.json >windows.lines
  tr ',' '\n' <linux.json >linux.lines
  local memory='"text":"\([0-9]*\) MB   ( In Use: [0-9]*% )"}$'
  local differing windows_mb linux_mb
  differing=$(diff windows.lines linux.lines | grep -c '^[<>]')
  windows_mb=$(diff windows.lines linux.lines | sed -n "s/^< $memory/\1/p")
  linux_mb=$(diff windows.lines linux.lines | sed -n "s/^> $memory/\1/p")
  if [ "$differing" -eq 2 ] && [ -n "$windows_mb" ] && [ -n "$linux_mb" ] &&
    [ $(( windows_mb > linux_mb ? windows_mb - linux_mb : linux_mb - windows_mb )) -le "$(awk '/^MemTotal:/ { print int($2 / 1024 / 8) }' /proc/meminfo)" ]; then
    pass "the Linux build reports the Windows snapshot with the same 37 texts; available memory moved by $((windows_mb - linux_mb)) MB"
  else
    fail "Windows and Linux reports differ: $(diff windows.lines linux.lines | head -10)"
  fi
}

# Whether every line of FILE ends in CR LF (and it has some).
crlf_only() {
  [ -s "$1" ] && [ "$(grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ] && [ "$(tail -c1 "$1" | od -An -tx1 | tr -d ' ')" = 0a ]
}

# Text written to a file has Windows line ends, as the console gets them; JSON is the same
# everywhere. The zip's README and licence too.
check_line_ends() {
  run_wine output.log moravel-report.exe --snapshot desktop.json --output report.txt
  if crlf_only report.txt && [ "$(tr -d '\r' <report.txt)" = "$(cat "$source_dir/tests/report/expected/desktop.txt")" ]; then
    pass "--output writes the text report with CRLF line ends"
  else fail "--output text: $(od -c report.txt | head -3)"; fi
  run_wine output.log moravel-report.exe --snapshot desktop.json --json --output report.json
  if cmp -s report.json "$source_dir/tests/report/expected/desktop.json"; then pass "--output --json is unchanged"; else
    fail "--output --json differs from the expected JSON"; fi
  local zip
  zip=$(ls "$windows_build"/moravel-*-windows-x64.zip 2>/dev/null | head -n1)
  if [ -z "$zip" ]; then fail "no Windows zip in $windows_build"; return; fi
  mkdir -p unzipped && (cd unzipped && cmake -E tar xf "$zip")
  local file
  for file in README.txt LICENSE.txt; do
    if crlf_only "$(find unzipped -name "$file" | head -n1)"; then pass "the zip's $file has CRLF line ends"; else
      fail "the zip's $file is missing or has bare line feeds"; fi
  done
  [ -z "$(find unzipped -name README.md)" ] || fail "the zip holds the developer README.md"
}

# Platform VARIANTs of every row of the conversion table, and the conversions between wide text
# and UTF-8.
check_conversions() {
  run_wine variants.txt moravel-probe.exe variants
  expect_file "VARIANTs of each type convert by the table, with their type lines" variants.txt \
    "empty=[Empty]\nnull=[Null]\nVT_I2: -5\ni2=[]\ni4=[4294967295]\ndate=[DATE is not available!]\nbstr=[abc]\nnullbstr=[]\nbool=[VT_BOOL!]\nVT_UI4: -2147483648\nui4=[]\nVT_UI8: 5\nui8=[]\nr8=[]\narray=[]"
  run_wine utf8.txt moravel-probe.exe utf8
  expect_file "wide text to UTF-8 and back: cut at NUL, any letter, pairs, the replacement character" utf8.txt \
    "cut=41 62 \nlatin=c2 ae c3 a9 \nbeyond=78 e4 b8 ad 79 e2 86 92 \npair=f0 9f 98 80 \nlone=61 ef bf bd 62 \nbad=61 ef bf bd \nround=same"
}

# The direct probes: the adapter address against ipconfig's last adapter, the memory texts
# against the total physical memory wmic reports.
check_probes() {
  run_wine probes.txt moravel-probe.exe probes
  wine ipconfig /all >ipconfig.raw 2>/dev/null
  local last
  last=$(tr -d '\r' <ipconfig.raw | sed -n 's/^ *Physical address[ .]*: *\([0-9A-F-]\{17\}\)$/\1/p' | tail -1)
  sed -n 's/^address=\[\(.*\)\]$/\1/p' probes.txt >address.txt
  expect_file "GetAdaptersInfo: the last adapter's address, as ipconfig lists it" address.txt "$last"

  run_wmic wmic_total.txt Win32_ComputerSystem TotalPhysicalMemory
  local total available load
  total=$(( $(head -1 wmic_total.txt) >> 20 ))
  available=$(sed -n 's/^available=\[\([0-9]*\) MB\]$/\1/p' probes.txt)
  load=$(sed -n 's/^load=\[\([0-9]*\)%\]$/\1/p' probes.txt)
  if [ -n "$available" ] && [ "$available" -gt 0 ] && [ "$available" -le "$total" ] &&
    [ -n "$load" ] && [ "$load" -le 100 ]; then
    pass "GlobalMemoryStatusEx: $available MB of $total MB available, $load% in use"
  else
    fail "memory texts out of range: $(tr '\n' ' ' <probes.txt) (total $total MB)"
  fi
}

# The inventory through Wine's WMI: GLPI JSON valid against the published schema (where ../shared
# is present), the compressed OCS file, and --submit over the system's WinHTTP to a stand-in
# server on loopback: the OCS exchange, Basic authentication, and servers that never answer or
# flood ended by --timeout.
check_inventory() {
  run_wine inventory.json moravel-report.exe --inventory glpi || fail "--inventory glpi: $(cat inventory.json.err)"
  run_wine ocs.txt moravel-report.exe --inventory ocs --output inventory.ocs || fail "--inventory ocs --output: $(cat ocs.txt.err)"
  local schema=$source_dir/../shared/glpi/inventory.schema.json
  python3 - "$schema" inventory.json inventory.ocs <<'PY' && pass "the inventory under Wine: GLPI JSON valid, .ocs readable" || fail "the inventory under Wine"
import json, os, sys, zlib, xml.etree.ElementTree as ET
document = json.load(open(sys.argv[2]))
assert document['content']['hardware']['name'] and document['content']['operatingsystem']['kernel_name'] == 'windows', document
if os.path.exists(sys.argv[1]):
    import jsonschema
    jsonschema.Draft7Validator(json.load(open(sys.argv[1])), format_checker=jsonschema.FormatChecker()).validate(document)
assert ET.fromstring(zlib.decompress(open(sys.argv[3], 'rb').read())).findtext('QUERY') == 'INVENTORY'
PY
  python3 "$source_dir/tests/support/fake_inventory_server.py" requests.log >port.txt &
  local server=$! port
  for _ in $(seq 100); do [ -s port.txt ] && break; sleep 0.05; done
  port=$(cat port.txt)
  run_wine sent.txt moravel-report.exe --submit "http://127.0.0.1:$port/ocs/ocsinventory" --timeout 20
  local status=$?
  if [ $status -eq 0 ] && [ "$(grep -c '"agent": "OCS-NG_WINDOWS_AGENT_v' requests.log)" = 2 ]; then
    pass "--submit over WinHTTP: PROLOG and INVENTORY taken, sent as OCS's Windows agent"
  else fail "--submit over WinHTTP: status $status, $(cat sent.txt.err), $(wc -l <requests.log) requests"; fi
  # Whichever timeout ends the wait (WinHTTP's, the socket's or the deadline's own), it is told in
  # the same words; a missing bound shows as status 124 after a minute rather than as a hang.
  timeout 60 wine moravel-report.exe --submit "http://127.0.0.1:$port/silent/ocsinventory" --timeout 2 >silent.txt 2>silent.txt.err
  status=$?
  if [ $status -eq 3 ] && grep -q "PROLOG: no reply within the time allowed" silent.txt.err; then
    pass "--submit to a server that never answers: status 3, no reply within the time allowed"
  else fail "--submit to a silent server: status $status, $(cat silent.txt.err)"; fi
  # Floods of trailers (Wine's WinHTTP reads none) and of headers (Wine's keeps them all, past any
  # cap: the request is given up at the deadline): one line and status 3 all the same.
  local flood
  for flood in trailers headers; do
    timeout 60 wine moravel-report.exe --submit "http://127.0.0.1:$port/$flood/ocsinventory" --timeout 2 \
      >"$flood.txt" 2>"$flood.txt.err"
    status=$?
    if [ $status -eq 3 ] && [ "$(grep -c '^moravel-report: ' "$flood.txt.err")" = 1 ]; then
      pass "--submit to a server that floods $flood: status 3"
    else fail "--submit to a server that floods $flood: status $status, $(head -c 300 "$flood.txt.err")"; fi
  done
  # Basic authentication from a credentials file, as the program writes it for WinHTTP.
  printf 'alice:S3cr3t\n' >credentials
  run_wine auth.txt moravel-report.exe --submit "http://127.0.0.1:$port/auth/ocsinventory" --credentials credentials \
    --timeout 20
  status=$?
  if [ $status -eq 0 ] && [ "$(grep -c '"auth": "right"' requests.log)" = 2 ]; then
    pass "--submit with --credentials: the server took the user and password"
  else fail "--submit with --credentials: status $status, $(cat auth.txt.err)"; fi
  check_scheduled_task "$port"
  kill $server 2>/dev/null
  wait $server 2>/dev/null
  check_network_words "$port"
}

# The zip's scheduled task as README.txt sets it up: the folders made, the program copied, the
# server's address put in, schtasks /Create /XML. Wine's Task Scheduler keeps a task's settings
# but not its trigger and action, so the action's command line is run as Task Scheduler runs it:
# sent, it leaves the log empty; failed, the log holds the failure's line.
check_scheduled_task() {  # PORT of the stand-in server
  local task
  task=$(find unzipped -name moravel-inventory-task.xml | head -n1)
  [ -n "$task" ] || { fail "the zip holds no moravel-inventory-task.xml"; return; }
  crlf_only "$task" || fail "the task's XML has bare line feeds"
  mkdir -p "$WINEPREFIX/drive_c/Program Files/Moravel" "$WINEPREFIX/drive_c/ProgramData/Moravel"
  cp moravel-report.exe "$WINEPREFIX/drive_c/Program Files/Moravel/"
  sed "s|https://ocs.example.org/ocsinventory|http://127.0.0.1:$1/ocs/ocsinventory|" "$task" >task.xml
  # The Wine server that ran wineboot has no service manager to start the Task Scheduler with.
  # The new one is kept running too, so no command meets a server that is shutting down.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  wine schtasks /Create /TN "Moravel inventory" /XML task.xml >schtasks.txt 2>&1 || fail "schtasks /Create /XML: $(cat schtasks.txt)"
  local stored="$WINEPREFIX/drive_c/windows/system32/tasks/Moravel inventory"
  grep -q '<StartWhenAvailable>true</StartWhenAvailable>' "$stored" 2>/dev/null || fail "the registered task does not start when available"
  python3 - task.xml >action.txt <<'PY' || fail "the task's XML: $(cat action.txt)"
import sys, xml.etree.ElementTree as ET
ns = {'t': 'http://schemas.microsoft.com/windows/2004/02/mit/task'}
task = ET.parse(sys.argv[1]).getroot()
assert task.findtext('t:Triggers/t:CalendarTrigger/t:RandomDelay', namespaces=ns) == 'PT4H'
assert task.findtext('t:Triggers/t:CalendarTrigger/t:ScheduleByDay/t:DaysInterval', namespaces=ns) == '1'
assert task.findtext('t:Settings/t:StartWhenAvailable', namespaces=ns) == 'true'
assert task.findtext('t:Principals/t:Principal/t:UserId', namespaces=ns) == 'S-1-5-18'
print('"%s" %s' % (task.findtext('t:Actions/t:Exec/t:Command', namespaces=ns),
                   task.findtext('t:Actions/t:Exec/t:Arguments', namespaces=ns)))
PY
  local log="$WINEPREFIX/drive_c/ProgramData/Moravel/inventory.log" before
  before=$(wc -l <requests.log)
  wine moravel-probe.exe run "$(cat action.txt)" >run.txt 2>&1 || fail "the task's action: $(cat run.txt)"
  [ "$(wc -l <requests.log)" = $((before + 2)) ] && [ ! -s "$log" ] ||
    fail "the task's action sent $(( $(wc -l <requests.log) - before )) requests, its log: $(cat "$log" 2>/dev/null)"
  # Each further run appends to a log of its own: under load, Wine's cmd has been refused the first
  # run's log ("Sharing violation") in the runs that followed it, though that run had ended.
  log="$WINEPREFIX/drive_c/ProgramData/Moravel/failed.log"
  wine moravel-probe.exe run "$(sed -e 's|/ocs/ocsinventory|/error500/ocsinventory|' -e 's|inventory\.log|failed.log|' \
    action.txt)" >run.txt 2>&1
  if grep -q "^moravel-report: http://127.0.0.1:$1/error500/ocsinventory: PROLOG: " "$log"; then
    pass "the zip's scheduled task: registered with schtasks /XML (catch-up, random delay, SYSTEM); its action sends, and logs a failure"
  else fail "a failed run left no line in the log: $(cat run.txt) $(cat "$log" 2>/dev/null)"; fi
  # A server with a password, as README.txt has it: inventory.conf written by Notepad (UTF-8's mark,
  # CRLF), --config in place of --submit and the address.
  printf '\357\273\277SERVER=http://127.0.0.1:%s/auth/ocsinventory\r\nUSER=alice\r\nPASSWORD=S3cr3t\r\n' "$1" \
    >"$WINEPREFIX/drive_c/ProgramData/Moravel/inventory.conf"
  before=$(grep -c '"auth": "right"' requests.log)
  wine moravel-probe.exe run "$(sed -e 's|--submit [^ ]*|--config "C:\\ProgramData\\Moravel\\inventory.conf"|' \
    -e 's|inventory\.log|configured.log|' action.txt)" >run.txt 2>&1
  log="$WINEPREFIX/drive_c/ProgramData/Moravel/configured.log"
  if [ "$(grep -c '"auth": "right"' requests.log)" = $((before + 2)) ] && [ -e "$log" ] && [ ! -s "$log" ]; then
    pass "the scheduled task with --config: the server took the user and password from Notepad's inventory.conf"
  else fail "the scheduled task with --config: $(cat run.txt) $(cat "$log" 2>/dev/null)"; fi
}

# A failed exchange is told in words, never as a bare error number: a name no resolver knows, a
# port nobody listens on (the stand-in server's, now closed).
check_network_words() {  # CLOSED-PORT
  local url status
  for url in "http://nowhere.invalid/ocsinventory" "http://127.0.0.1:$1/ocs/ocsinventory"; do
    # Status 1 with nothing said is Wine failing to start the program (which never exits with 1):
    # it is started again, up to three times in all.
    for _ in 1 2 3; do
      timeout 60 wine moravel-report.exe --submit "$url" --timeout 10 >refused.txt 2>refused.txt.err
      status=$?
      [ $status -eq 1 ] && [ ! -s refused.txt.err ] || break
    done
    if [ $status -eq 3 ] && grep -q "^moravel-report: $url: PROLOG: [A-Za-z]" refused.txt.err &&
      ! grep -q 'error [0-9]' refused.txt.err; then
      pass "--submit to $url: status 3, $(grep '^moravel-report' refused.txt.err | tr -d '\r')"
    else fail "--submit to $url: status $status, $(cat refused.txt.err)"; fi
  done
}

# Programs installed in the prefix as their installers record them (reg add; reg import for what
# a command line cannot carry: a name beyond ASCII, one of 10 MB): --inventory glpi lists exactly
# those the Programs list shows, each with its record's fields, in the registry view it was
# recorded in; and the updates wmic lists. A value of the wrong type is as good as none.
check_installed_software() {
  local machine='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  local user='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  local probe="$machine\{7D2A91C4-0B3E-4F5A-9C61-2E8D4B7A1F03}" today
  today=$(date +%F)
  record() { wine reg add "$@" /f >/dev/null 2>&1 || fail "reg add $*"; }
  record "$probe" /v DisplayName /d "Moravel Probe (64-bit)" /reg:64
  record "$probe" /v DisplayVersion /d 4.5.6 /reg:64
  record "$probe" /v Publisher /d "Moravel Tests" /reg:64
  record "$probe" /v InstallDate /d 20240115 /reg:64
  record "$probe" /v EstimatedSize /t REG_DWORD /d 2048 /reg:64
  record "$probe" /v InstallLocation /d 'C:\Program Files\Moravel Probe' /reg:64
  record "$machine\Moravel Probe 32" /v DisplayName /d "Moravel Probe (32-bit)" /reg:32
  record "$machine\Moravel Probe 32" /v DisplayVersion /d 1.0 /reg:32
  record "$machine\Moravel Probe 32" /v EstimatedSize /d "not a number" /reg:32
  record "$user\MoravelUserTool" /v DisplayName /d "Moravel User Tool"
  record "$machine\MoravelComponent" /v DisplayName /d "Moravel Hidden Component" /reg:64
  record "$machine\MoravelComponent" /v SystemComponent /t REG_DWORD /d 1 /reg:64
  record "$machine\MoravelUpdate" /v DisplayName /d "Update for Moravel Probe (KB000001)" /reg:64
  record "$machine\MoravelUpdate" /v ParentKeyName /d "{7D2A91C4-0B3E-4F5A-9C61-2E8D4B7A1F03}" /reg:64
  record "$machine\MoravelNumber" /v DisplayName /t REG_DWORD /d 7 /reg:64
  python3 - <<'PY'
head = 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
text = (head + 'MoravelHuge]\r\n"DisplayName"="' + 'x' * (10 << 20) + '"\r\n"DisplayVersion"="2.0"\r\n\r\n' +
        head[head.index('['):] + 'MoravelWorld]\r\n"DisplayName"="Prüfprogramm ✓ 測試 \U0001F4DD <&>"\r\n\r\n')
open('programs.reg', 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
  wine reg import programs.reg /reg:64 >/dev/null 2>&1 || fail "reg import programs.reg"
  run_wine software.json moravel-report.exe --inventory glpi || { fail "--inventory glpi: $(cat software.json.err)"; return; }
  run_wmic updates.txt Win32_QuickFixEngineering HotFixID
  python3 - software.json updates.txt "$today" "$(date +%F)" <<'PY' && pass "the programs installed in the prefix, as the Programs list shows them" || fail "the installed software under Wine"
import json, sys
document, updates, days = json.load(open(sys.argv[1])), open(sys.argv[2]).read().split(), set(sys.argv[3:])
listed = document['content'].get('softwares', [])
programs = {s['name']: s for s in listed if s.get('from') == 'registry'}
def fields(s): return {k: s.get(k) for k in ('version', 'publisher', 'install_date', 'filesize', 'arch', 'guid', 'folder')}
expected = {
    'Moravel Probe (64-bit)': {'version': '4.5.6', 'publisher': 'Moravel Tests', 'install_date': '2024-01-15',
                               'filesize': 2048 * 1024, 'arch': 'x86_64', 'guid': '{7D2A91C4-0B3E-4F5A-9C61-2E8D4B7A1F03}',
                               'folder': 'C:\\Program Files\\Moravel Probe'},
    'Moravel Probe (32-bit)': {'version': '1.0', 'arch': 'i586', 'guid': 'Moravel Probe 32'},
    'Moravel User Tool': {'guid': 'MoravelUserTool'},
    'x' * 512: {'version': '2.0', 'arch': 'x86_64', 'guid': 'MoravelHuge'},
    'Prüfprogramm ✓ 測試 \U0001F4DD <&>': {'arch': 'x86_64', 'guid': 'MoravelWorld'},
}
bad = 0
if sorted(programs) != sorted(expected):
    print(f'FAIL: listed {sorted(n[:40] for n in programs)}, expected {sorted(n[:40] for n in expected)}'); bad += 1
for name, want in expected.items():
    got = fields(programs.get(name, {}))
    if 'install_date' not in want and got['install_date'] in days:  # the day its key was written
        got['install_date'] = None
    want = {k: want.get(k) for k in got}
    if got != want: print(f'FAIL: {name[:40]}: {got}, expected {want}'); bad += 1
wmi = sorted(s['name'] for s in listed if s.get('from') == 'WMI')
if wmi != sorted(updates): print(f'FAIL: updates {wmi}, wmic lists {updates}'); bad += 1
sys.exit(bad)
PY
}

# A card of 4 GiB or more: WMI's uint32 AdapterRAM stops at 0xFFF00000 (Wine reports a card of
# 4095 MiB so, as Windows reports larger ones). Then the size the display driver recorded in its
# class key (named by the card's device key) is answered, as decimal text; without that record,
# WMI's answer stands. Wine reports a card only with a display, of the size its settings give.
# Disk and battery health from a snapshot with the storage classes (the Windows build reads them as
# the Linux build does), and live: Wine's storage and ROOT\WMI disk classes list no disk, so the
# snapshot records none (an empty class, or the query's failure), never a made-up one.
check_health() {
  cp "$source_dir/tests/data/workstation_health.json" health.json
  run_wine health-inventory.json moravel-report.exe --snapshot health.json --inventory glpi ||
    fail "--inventory glpi of health.json: $(cat health-inventory.json.err)"
  run_wine health-compare.txt moravel-report.exe --compare health.json health.json || true
  run_wine health-details.txt moravel-report.exe --details --snapshot health.json ||
    fail "--details of health.json: $(cat health-details.txt.err)"
  python3 - health-inventory.json health-compare.txt health-details.txt <<'PY' && pass "health under Wine: --details's hours, wear and battery, sensors, real capacity, no difference with itself" || fail "health under Wine"
import json, re, sys
details = [re.sub(' +', ' ', line.strip()) for line in open(sys.argv[3], encoding='utf-8')]
for line in ('Power-on 14,200 hours', 'Wear 23 %', 'Holds 71 % of its design capacity'):
    assert line in details, (line, details)
content = json.load(open(sys.argv[1]))['content']
assert content['sensors'] == [{'name': 'ACPI\\ThermalZone\\TZ00_0', 'type': 'TEMPERATURE'}], content.get('sensors')
assert content['batteries'][0]['real_capacity'] == 40470, content['batteries']
assert open(sys.argv[2]).read().startswith('No differences'), open(sys.argv[2]).read()
PY
  run_wine live.json moravel-report.exe --save-snapshot live-snapshot.json || fail "--save-snapshot: $(cat live.json.err)"
  python3 - live-snapshot.json <<'PY' && pass "live under Wine: no disk health recorded, as Wine has none" || fail "live storage classes under Wine"
import json, sys
classes = json.load(open(sys.argv[1]))['classes']
for name in ('MSFT_PhysicalDisk', 'MSFT_StorageReliabilityCounter', 'MSStorageDriver_FailurePredictStatus',
             'MSStorageDriver_FailurePredictData'):
    assert not classes.get(name), (name, classes.get(name))
PY
}

check_adapter_memory() {
  if [ -z "$display" ]; then echo "skipped: card memory needs a display"; return; fi
  # The Wine server and its desktop start again, now with the display, which sets up the card.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  export DISPLAY=$display
  wineserver -p >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Direct3D' /v VideoMemorySize /d 4095 /f >reg.out 2>&1
  local query="SELECT * FROM Win32_VideoController" id
  probe_query card_id.txt 0 "$query" PNPDeviceID
  id=$(sed -n 's/^text=\[\(.*\)\]$/\1/p' card_id.txt)
  probe_query card_wmi.txt 0 "$query" AdapterRAM
  expect_file "a 4095 MiB card without the driver's record: WMI's AdapterRAM" card_wmi.txt "text=[4293918720]"

  local class='HKLM\System\CurrentControlSet\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}'
  wine reg add "HKLM\\System\\CurrentControlSet\\Enum\\$id" /v Driver /d '{4d36e968-e325-11ce-bfc1-08002be10318}\0099' /f >>reg.out 2>&1
  wine reg add "$class\\0099" /v HardwareInformation.qwMemorySize /t REG_QWORD /d 0x300000000 /f >>reg.out 2>&1
  probe_query card_driver.txt 0 "$query" AdapterRAM
  expect_file "with the driver's record of 12 GiB: its 64-bit size (device $id)" card_driver.txt "text=[12884901888]"
  run_wine card_report.txt moravel-report.exe
  grep -A4 '^VGA$' card_report.txt | sed -n 's/^  Memory: *//p' >card_memory.txt
  expect_file "the VGA group's Memory: of the 12 GiB card" card_memory.txt "12288 MB"
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  unset DISPLAY
}
