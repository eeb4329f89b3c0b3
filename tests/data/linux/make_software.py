# Writes the installed software of two fixture machines: the workstation (Debian: dpkg's status
# database and file lists, a Flatpak and two snaps) and the kvm guest (Fedora: an RPM database in
# SQLite).     python3 make_software.py tests/data/linux
import os, sqlite3, struct, sys
base = sys.argv[1]

def w(machine, rel, data, mode="w"):
    path = os.path.join(base, machine, rel.lstrip("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f: f.write(data)

def ln(machine, rel, target):
    path = os.path.join(base, machine, rel.lstrip("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.lexists(path): os.remove(path)
    os.symlink(target, path)

# ---------------- workstation: dpkg ----------------
# Installed, held, removed but for its configuration, half installed; one for several
# architectures (its file list carries the architecture); a description over several lines.
packages = [
    ("bash", "install ok installed", "5.2.15-2+b7", "amd64", "Matthias Klose <doko@debian.org>", "7164", "shells", "foreign"),
    ("libc6", "install ok installed", "2.36-9+deb12u7", "amd64", "GNU Libc Maintainers <debian-glibc@lists.debian.org>", "12986", "libs", "same"),
    ("util-linux", "hold ok installed", "2.38.1-5+deb12u3", "amd64", "util-linux packagers <util-linux@packages.debian.org>", "4906", "utils", "foreign"),
    ("tzdata", "install ok installed", "2024a-0+deb12u1", "all", "GNU Libc Maintainers <debian-glibc@lists.debian.org>", "3365", "localization", None),
    ("vim-tiny", "deinstall ok config-files", "2:9.0.1378-2", "amd64", "Debian Vim Maintainers <team+vim@tracker.debian.org>", "1807", "editors", None),
    ("gimp-data", "install reinstreq half-installed", "2.10.34-1", "all", "Debian GNOME Maintainers <pkg-gnome-maintainers@lists.alioth.debian.org>", "60372", "graphics", None),
    ("firmware-linux-free", "install ok installed", "20200122-1", "all", "Debian Kernel Team <debian-kernel@lists.debian.org>", None, "kernel", None),
]
status = []
for name, state, version, arch, maintainer, size, section, multiarch in packages:
    lines = [f"Package: {name}", f"Status: {state}", "Priority: required", f"Section: {section}"]
    if size: lines.append(f"Installed-Size: {size}")
    lines += [f"Maintainer: {maintainer}", f"Architecture: {arch}"]
    if multiarch: lines.append(f"Multi-Arch: {multiarch}")
    lines += [f"Version: {version}", f"Description: the {name} package",
              " A longer description: it runs over more than one line,", " .", " Even: this one."]
    status.append("\n".join(lines) + "\n")
    if state.endswith(" installed"):
        w("workstation", f"/var/lib/dpkg/info/{name}{':' + arch if multiarch == 'same' else ''}.list", f"/usr/share/doc/{name}\n")
w("workstation", "/var/lib/dpkg/status", "\n".join(status))

# ---------------- workstation: Flatpak, Snap ----------------
app = "/var/lib/flatpak/app/org.gimp.GIMP"
ln("workstation", app + "/current", "x86_64/stable")
ln("workstation", app + "/x86_64/stable/active", "0a1b2c3d4e5f")
w("workstation", app + "/x86_64/stable/0a1b2c3d4e5f/metadata", "[Application]\nname=org.gimp.GIMP\nruntime=org.gnome.Platform/x86_64/45\n")
w("workstation", app + "/x86_64/stable/0a1b2c3d4e5f/files/share/metainfo/org.gimp.GIMP.metainfo.xml",
  '<?xml version="1.0" encoding="UTF-8"?>\n<!-- Copyright: the GIMP team <name>not this</name> -->\n'
  '<component type="desktop-application">\n  <id>org.gimp.GIMP</id>\n'
  '  <name xml:lang="de">GNU-Bildbearbeitungsprogramm</name>\n  <name>GNU Image Manipulation Program</name>\n'
  '  <developer id="org.gimp"><name>The GIMP Team &amp; friends</name></developer>\n'
  '  <releases>\n    <release version="2.10.38" date="2024-05-03"/>\n    <release version="2.10.36" date="2023-11-07"/>\n  </releases>\n'
  '</component>\n')
bare = "/var/lib/flatpak/app/org.example.Bare"  # no AppStream file: known by its id
ln("workstation", bare + "/current", "x86_64/stable")
ln("workstation", bare + "/x86_64/stable/active", "99aa")
w("workstation", bare + "/x86_64/stable/99aa/metadata", "[Application]\nname=org.example.Bare\n")

for name, revision, yaml in (
        ("firefox", "4793", "name: firefox\nversion: 128.0.3-1\nsummary: 'Mozilla Firefox: the browser'\narchitectures:\n  - amd64\nconfinement: strict\n"),
        ("core22", "1380", 'name: core22\nversion: "20240408"\ntype: base\narchitectures: [amd64]\n')):
    ln("workstation", f"/snap/{name}/current", revision)
    w("workstation", f"/snap/{name}/{revision}/meta/snap.yaml", yaml)
    w("workstation", f"/var/lib/snapd/snaps/{name}_{revision}.snap", "")
w("workstation", "/snap/bin/firefox", "")  # the snaps' commands: no snap of its own
w("workstation", "/snap/README", "This directory presents installed snap packages.\n")

# ---------------- kvm: an RPM database ----------------
STRING, INT32, INT64, BIN, I18N = 6, 4, 5, 7, 9

def rpm_header(entries):
    """One header blob as rpmdb.sqlite keeps it: the index then the data, big-endian."""
    index, data = b"", b""
    for tag, kind, value in entries:
        if kind == INT32:
            data += b"\0" * (-len(data) % 4); raw, count = struct.pack(">I", value), 1
        elif kind == INT64:
            data += b"\0" * (-len(data) % 8); raw, count = struct.pack(">Q", value), 1
        elif kind == I18N:
            raw, count = b"".join(v.encode() + b"\0" for v in value), len(value)
        else:
            raw, count = value.encode() + b"\0", 1
        index += struct.pack(">IIII", tag, kind, len(data), count)
        data += raw
    return struct.pack(">II", len(entries), len(data)) + index + data

def rpm(name, version, release, arch, vendor, group, installed, size, epoch=None, longsize=None):
    entries = [(1000, STRING, name), (1001, STRING, version), (1002, STRING, release)]
    if epoch is not None: entries.append((1003, INT32, epoch))
    entries += [(1004, I18N, [f"The {name} package"]), (1008, INT32, installed), (1009, INT32, size)]
    if vendor: entries.append((1011, STRING, vendor))
    entries += [(1016, I18N, [group])]
    if arch: entries.append((1022, STRING, arch))
    if longsize: entries.append((5009, INT64, longsize))
    return rpm_header(entries)

database = os.path.join(base, "kvm/var/lib/rpm/rpmdb.sqlite")
os.makedirs(os.path.dirname(database), exist_ok=True)
if os.path.exists(database): os.remove(database)
db = sqlite3.connect(database)
db.execute("CREATE TABLE Packages (hnum INTEGER PRIMARY KEY AUTOINCREMENT, blob BLOB NOT NULL)")
for blob in (rpm("bash", "5.2.26", "3.fc40", "x86_64", "Fedora Project", "Unspecified", 1714000000, 8372411),
             rpm("perl-Errno", "1.37", "506.fc40", "x86_64", "Fedora Project", "Unspecified", 1714000100, 8925, epoch=0),
             rpm("texlive-cm-super", "svn65347", "70.fc40", "noarch", "Fedora Project", "Unspecified", 1714000200,
                 0xFFFFFFFF, epoch=11, longsize=5368709120),
             rpm("gpg-pubkey", "a15b79cc", "63d04c2c", None, None, "Public Keys", 1714000300, 0)):
    db.execute("INSERT INTO Packages (blob) VALUES (?)", (blob,))
db.commit()
db.close()
