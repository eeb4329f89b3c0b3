# Writes the installed software of the Windows 11 workstation snapshot (workstation.json): the
# uninstall records its provider reads from the registry (HKLM's 64- and 32-bit views and the
# user's own), with the records the Programs list leaves out; its Windows updates and Store
# applications. Beside it, the list the inventory must make of them, by the Programs list's
# rules: tests/inventory/expected/workstation-software.tsv.
#     python3 tests/data/make_windows_software.py tests
import json, os, sys
tests = sys.argv[1]
snapshot = os.path.join(tests, "data", "workstation.json")

def record(name, version, publisher, date, arch, key, size_kib=None, folder=None, component=None, parent=None):
    return {"Name": name, "Version": version, "Publisher": publisher,
            "InstallDate": f"{date}******.******+***" if date else None,
            "Size": str(size_kib * 1024) if size_kib is not None else None, "InstallLocation": folder,
            "ProductCode": key, "Architecture": arch, "Source": "registry", "Category": None,
            "SystemComponent": component, "ParentKeyName": parent}

X64, X86, USER = "x86_64", "i586", None
programs = [
    ("7-Zip 23.01 (x64)", "23.01", "Igor Pavlov", "20240112", X64, "7-Zip", 5520, "C:\\Program Files\\7-Zip\\"),
    ("Mozilla Firefox (x64 de)", "128.0.3", "Mozilla", None, X64, "Mozilla Firefox 128.0.3 (x64 de)", 247000, "C:\\Program Files\\Mozilla Firefox"),
    ("Mozilla Maintenance Service", "128.0.3", "Mozilla", None, X64, "MozillaMaintenanceService", 330, None),
    ("Google Chrome", "127.0.6533.89", "Google LLC", "20240731", X64, "{2F5E1B7A-83C6-3B7E-9D41-6C2E8F1A0B3D}", None, "C:\\Program Files\\Google\\Chrome\\Application"),
    ("Microsoft Edge", "127.0.2651.86", "Microsoft Corporation", "20240802", X86, "Microsoft Edge", None, "C:\\Program Files (x86)\\Microsoft\\Edge\\Application"),
    ("Microsoft Edge WebView2 Runtime", "127.0.2651.86", "Microsoft Corporation", "20240802", X86, "Microsoft EdgeWebView", None, None),
    ("Microsoft Edge WebView2 Runtime", "127.0.2651.86", "Microsoft Corporation", "20240803", USER, "Microsoft EdgeWebView", None, None),
    ("Microsoft 365 Apps for enterprise - de-de", "16.0.17726.20160", "Microsoft Corporation", None, X64, "O365ProPlusRetail - de-de", None, "C:\\Program Files\\Microsoft Office"),
    ("Notepad++ (64-bit x64)", "8.6.9", "Notepad++ Team", None, X64, "Notepad++", 15100, "C:\\Program Files\\Notepad++"),
    ("VLC media player", "3.0.21", "VideoLAN", None, X64, "VLC media player", 171000, "C:\\Program Files\\VideoLAN\\VLC"),
    ("Adobe Acrobat (64-bit)", "24.002.20965", "Adobe", "20240715", X64, "{AC76BA86-1033-FFFF-7760-BC15014EA700}", 1110000, "C:\\Program Files\\Adobe\\Acrobat DC\\"),
    ("Git", "2.46.0", "The Git Development Community", "20240801", X64, "Git_is1", 340000, "C:\\Program Files\\Git\\"),
    ("Python 3.12.4 (64-bit)", "3.12.4150.0", "Python Software Foundation", None, USER, "{4A7D1E2B-4C8F-4E9A-B7D3-1F6C2A8E9B40}", 104000, None),
    ("Python Launcher", "3.12.4150.0", "Python Software Foundation", "20240610", X86, "{6B2C7A1D-9E3F-4B8C-A5D1-2E7F3C9A4B61}", 1900, None),
    ("Visual Studio Code (User)", "1.92.0", "Microsoft Corporation", "20240802", USER, "{771FD6B0-FA20-440A-A002-3B3BAC16DC50}_is1", 380000, "C:\\Users\\mvoss\\AppData\\Local\\Programs\\Microsoft VS Code\\"),
    ("Zoom Workplace (64-bit)", "6.1.6 (45980)", "Zoom Video Communications, Inc.", "20240722", X64, "{F3A1C5E7-2B4D-4F6A-8C9E-0D1B3A5C7E92}", 320000, None),
    ("Spotify", "1.2.43.420.ge9e0c1b8", "Spotify AB", "20240805", USER, "Spotify", 310000, "C:\\Users\\mvoss\\AppData\\Roaming\\Spotify"),
    ("Bürosoftware Schäfer & Söhne 2.1", "2.1.0", "Schäfer <Büro> GmbH", "20230301", X86, "{0C9E8D7B-6A5F-4E3D-2C1B-0A9F8E7D6C5B}", 8800, "C:\\Program Files (x86)\\Schäfer\\Büro"),
    ("微信", "3.9.11.25", "腾讯科技(深圳)有限公司", "20240620", X86, "WeChat", 560000, None),
    ("AT&T \"Connect\" <Participant>", "9.7.4", "AT&T", "20190214", X86, "AT&T Connect Participant", 42000, None),
]
# Runtimes most machines carry, both architectures.
for n, (year, version) in enumerate((("2008", "9.0.30729.6161"), ("2010", "10.0.40219"), ("2012", "11.0.61030"),
                                     ("2013", "12.0.40664"), ("2015-2022", "14.40.33810"))):
    for arch, word, kib in ((X64, "x64", 20000), (X86, "x86", 17000)):
        key = "{%08X-1111-2222-3333-%012d}" % (0xA0000000 + 2 * n + (arch == X86), n)
        programs.append((f"Microsoft Visual C++ {year} Redistributable ({word}) - {version}", version,
                         "Microsoft Corporation", "20231004", arch, key, kib, None))
# The office's own tools and drivers, each in its version.
tools = ["Expense Client", "Time Tracker", "Document Scanner", "Badge Printer Driver", "VPN Helper", "Label Designer",
         "Archive Viewer", "Fleet Planner", "Invoice Exporter", "Phone Directory", "Room Booking", "Training Player",
         "Report Builder", "Backup Agent", "Signature Pad Driver"]
for i in range(149 - len(programs)):
    tool = tools[i % len(tools)]
    arch = (X64, X86, X64, USER)[i % 4]
    major = 1 + i // len(tools)
    name = f"Contoso {tool} {major}"
    programs.append((name, f"{major}.{i % 7}.{100 + i}", "Contoso Ltd.", f"2024{1 + i % 12:02d}{1 + i % 28:02d}", arch,
                     "{%08X-C0DE-4000-8000-%012d}" % (0xC0000000 + i, i), 1000 + 37 * i,
                     f"C:\\Program Files\\Contoso\\{tool}" if arch else None))
assert len(programs) == 149  # and the driver package below: 150 programs listed

records = [record(*p) for p in programs]
records.append(records[16] | {})  # the same program for a second user: listed once
records += [
    # A part of Windows, an update of Office and a record without a name: not in the Programs list.
    record("Microsoft Visual C++ 2022 X64 Minimum Runtime - 14.40.33810", "14.40.33810", "Microsoft Corporation",
           "20231004", X64, "{0E1F2A3B-4C5D-6E7F-8091-A2B3C4D5E6F7}", 2300, None, component=True),
    record("Security Update for Microsoft Office 2016 (KB5002519) 64-Bit Edition", None, "Microsoft", "20240109", X64,
           "{90160000-0011-0000-1000-0000000FF1CE}_Office16.PROPLUS_{A1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D}",
           parent="Office16.PROPLUS"),
    record(None, None, None, None, X64, "AddressBook"),
    record("Windows Driver Package - Intel (iaStorVD) SCSIAdapter", "19.5.0.1037", "Intel", "20231004", X64,
           "DriverPackage1", component=False),
]
updates = [{"HotFixID": "KB5034441", "Description": "Security Update", "InstalledOn": "1/9/2024"},
           {"HotFixID": "KB5033375", "Description": "Update", "InstalledOn": "12/12/2023"},
           {"HotFixID": "KB5031356", "Description": "Hotfix", "InstalledOn": ""}]
store = [{"Name": "Microsoft.WindowsCalculator", "Version": "11.2405.2.0",
          "Vendor": "CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, S=Washington, C=US",
          "Architecture": "X64", "ProgramId": "Microsoft.WindowsCalculator_8wekyb3d8bbwe"},
         {"Name": "SpotifyAB.SpotifyMusic", "Version": "1.243.420.0", "Vendor": "CN=453637B3-4E12-4CDF-B0D3-2A3C863BF6EF",
          "Architecture": "X86", "ProgramId": "SpotifyAB.SpotifyMusic_zpdnekdrzrea0"}]

machine = json.load(open(snapshot))
machine["classes"]["Moravel_InstalledSoftware"] = records
machine["classes"]["Win32_QuickFixEngineering"] = updates
machine["classes"]["Win32_InstalledStoreProgram"] = store
with open(snapshot, "w") as f: f.write(json.dumps(machine, indent=2, ensure_ascii=False) + "\n")

# The list the inventory makes, by the Programs list's rules.
def day(cim):
    return f"{cim[0:4]}-{cim[4:6]}-{cim[6:8]}" if cim else ""
expected = []
for r in records:
    if not r["Name"] or r["SystemComponent"] or r["ParentKeyName"]: continue
    expected.append([r["Name"], r["Version"] or "", r["Publisher"] or "", day(r["InstallDate"]), r["Architecture"] or "",
                     r["ProductCode"], "registry", "application", r["InstallLocation"] or "", r["Size"] or ""])
for u in updates:
    m, d, y = (u["InstalledOn"].split("/") + ["", "", ""])[:3] if u["InstalledOn"] else ("", "", "")
    date = f"{int(y):04d}-{int(m):02d}-{int(d):02d}" if y else ""
    category = {"Security Update": "security_update", "Hotfix": "hotfix"}.get(u["Description"], "update")
    expected.append([u["HotFixID"], "", "", date, "", "", "WMI", category, "", ""])
for s in store:
    publisher = s["Vendor"].split(",")[0][3:]
    expected.append([s["Name"], s["Version"], publisher, "", s["Architecture"], s["ProgramId"], "uwp", "application", "", ""])
# By name (ASCII letters without case, other bytes as they are), version, architecture; once each.
expected.sort(key=lambda e: (e[0].encode().lower(), e[1].encode(), e[4].encode()))
once = []
for e in expected:
    if not once or (once[-1][0].encode().lower(), once[-1][1], once[-1][4]) != (e[0].encode().lower(), e[1], e[4]):
        once.append(e)
with open(os.path.join(tests, "inventory", "expected", "workstation-software.tsv"), "w") as f:
    f.write("name\tversion\tpublisher\tinstall_date\tarch\tguid\tfrom\tcategory\tfolder\tsize\n")
    for e in once: f.write("\t".join(e) + "\n")
print(f"{len(records)} uninstall records, {len(updates)} updates, {len(store)} Store applications: {len(once)} listed")
