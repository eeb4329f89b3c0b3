// The parsers of the software databases: dpkg's status file, RPM headers, AppStream metadata and
// snap.yaml, on what the systems write and on what they never should.
#include <gtest/gtest.h>

#include <cstring>

#include "providers/linux/parsers/appstream.h"
#include "providers/linux/parsers/dpkg_status.h"
#include "providers/linux/parsers/rpm_header.h"
#include "providers/linux/parsers/snap_yaml.h"
#include "query/installed_software.h"

namespace moravel::lx {
namespace {

std::string paragraph(const std::string& name, const std::string& status, const std::string& more = "") {
    return "Package: " + name + "\nStatus: " + status + "\n" + more + "Description: x\n  more\n .\n";
}

TEST(DpkgStatus, ListsInstalledPackagesWithTheirFields) {
    const std::string text =
        paragraph("bash", "install ok installed",
                  "Installed-Size: 7164\nMaintainer: Matthias Klose <doko@debian.org>\nArchitecture: amd64\n"
                  "Version: 5.2.15-2+b7\nsection: shells\n") +
        "\n" + paragraph("util-linux", "hold ok installed", "Version: 2.38.1-5\nMulti-Arch: foreign\n") + "\n \t\n" +
        paragraph("vim", "deinstall ok config-files") + "\n" + paragraph("gimp", "install reinstreq half-installed") +
        "\n" + paragraph("libc6", "install ok installed", "Multi-Arch: same\r\nArchitecture: amd64\r\n");
    DpkgStatus status = parseDpkgStatus(text, 100);
    ASSERT_EQ(status.installed.size(), 3u);
    EXPECT_EQ(status.unreadable, 0u);
    const DpkgPackage& bash = status.installed[0];
    EXPECT_EQ(bash.name, "bash");
    EXPECT_EQ(bash.version, "5.2.15-2+b7");
    EXPECT_EQ(bash.architecture, "amd64");
    EXPECT_EQ(bash.section, "shells");  // field names in any case
    EXPECT_EQ(bash.installedKib, 7164u);
    EXPECT_EQ(personName(bash.maintainer), "Matthias Klose");
    EXPECT_FALSE(bash.multiArchSame);
    EXPECT_EQ(status.installed[1].name, "util-linux");  // held, still installed
    EXPECT_FALSE(status.installed[1].installedKib);
    EXPECT_TRUE(status.installed[2].multiArchSame);
    EXPECT_EQ(status.installed[2].architecture, "amd64");  // a carriage return is no part of it
}

TEST(DpkgStatus, PassesOverBrokenRecordsAndStopsAtTheLimit) {
    std::string text = paragraph("a", "install ok installed") + "\nthis line is no field\n" +
                       paragraph("b", "install ok installed") + "\n  continues nothing\n\nStatus: install ok installed\n\n" +
                       std::string("\0\xff\xfe", 3) + "\n\n" + paragraph("c", "install ok installed");
    DpkgStatus status = parseDpkgStatus(text, 100);
    ASSERT_EQ(status.installed.size(), 2u);  // a and c; b's record holds the broken line
    EXPECT_EQ(status.installed[1].name, "c");
    EXPECT_EQ(status.unreadable, 4u);
    EXPECT_FALSE(status.cut);

    status = parseDpkgStatus(text, 1);
    EXPECT_EQ(status.installed.size(), 1u);
    EXPECT_TRUE(status.cut);
    EXPECT_EQ(parseDpkgStatus("", 10).installed.size(), 0u);
}

TEST(DpkgStatus, KeepsOddBytesAndClipsHugeValues) {
    const std::string huge(10u << 20, 'x');
    std::string text = paragraph("ctl\x01\x1b[2Jname\xc3", "install ok installed", "Version: " + huge + "\n");
    DpkgStatus status = parseDpkgStatus(text, 10);
    ASSERT_EQ(status.installed.size(), 1u);
    EXPECT_EQ(status.installed[0].name, "ctl\x01\x1b[2Jname\xc3");  // the writers escape; the list keeps
    EXPECT_EQ(status.installed[0].version.size(), kMaxSoftwareTextBytes);
}

TEST(SoftwareText, ClipsAtACharacterBoundary) {
    std::string text(kMaxSoftwareTextBytes - 1, 'a');
    text += "\xe2\x82\xac";  // a three-byte character across the bound
    EXPECT_EQ(clippedSoftwareText(text), std::string(kMaxSoftwareTextBytes - 1, 'a'));
    EXPECT_EQ(clippedSoftwareText("short"), "short");
}

// A header blob: entries of (tag, type, bytes), the data laid out as given.
std::string header(const std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>>& entries) {
    auto be = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
    };
    std::string index, data;
    for (const auto& [tag, type, bytes] : entries) {
        index += be(tag) + be(type) + be(static_cast<std::uint32_t>(data.size())) + be(1);
        data += bytes;
    }
    return be(static_cast<std::uint32_t>(entries.size())) + be(static_cast<std::uint32_t>(data.size())) + index + data;
}

std::string cString(const char* text) { return std::string(text, std::strlen(text) + 1); }

TEST(RpmHeader, ReadsNameVersionAndNumbers) {
    const std::string epoch("\0\0\0\x0b", 4), time("\x66\x29\x0c\x80", 4), big("\0\0\0\x01\0\0\0\0", 8);
    std::string blob = header({{1000, 6, cString("texlive")}, {1001, 6, cString("svn65347")}, {1002, 6, cString("70.fc40")},
                               {1003, 4, epoch}, {1008, 4, time}, {1009, 4, std::string("\xff\xff\xff\xff", 4)},
                               {1016, 9, cString("Unspecified") + cString("Nicht angegeben")},
                               {1011, 6, cString("Fedora Project")}, {1022, 6, cString("noarch")}, {5009, 5, big}});
    std::optional<RpmPackage> package = parseRpmHeader(blob);
    ASSERT_TRUE(package);
    EXPECT_EQ(package->name, "texlive");
    EXPECT_EQ(package->version, "11:svn65347-70.fc40");
    EXPECT_EQ(package->architecture, "noarch");
    EXPECT_EQ(package->vendor, "Fedora Project");
    EXPECT_EQ(package->group, "Unspecified");  // the first of its languages
    EXPECT_EQ(package->installTime, 0x66290C80u);
    EXPECT_EQ(package->sizeBytes, 1ull << 32);  // the 64-bit size before the 32-bit one
}

TEST(RpmHeader, RefusesWhatIsNoHeader) {
    const std::string good = header({{1000, 6, cString("bash")}});
    EXPECT_TRUE(parseRpmHeader(good));
    EXPECT_FALSE(parseRpmHeader(good.substr(0, good.size() - 1)));                 // data cut short
    EXPECT_FALSE(parseRpmHeader(header({{1000, 6, "bash"}})));                      // no NUL before the end
    EXPECT_FALSE(parseRpmHeader(header({{1000, 4, std::string(4, '\0')}})));        // a name of the wrong type
    EXPECT_FALSE(parseRpmHeader(std::string("\xff\xff\xff\xff\0\0\0\0", 8)));      // more entries than rpm allows
    EXPECT_FALSE(parseRpmHeader(""));
    std::string outside = good;
    outside[8 + 8 + 3] = 0x40;  // the name's offset beyond the data
    EXPECT_FALSE(parseRpmHeader(outside));
}

TEST(AppStream, NameMakerAndNewestRelease) {
    AppStreamComponent gimp = appStreamComponent(
        "<?xml version='1.0'?><!-- <name>not this</name> --><component type='desktop-application'>"
        "<name xml:lang='de'>GNU-Bildbearbeitung</name><name>GNU Image &amp; Photo</name>"
        "<developer id='org.gimp'><name>The GIMP Team</name></developer><developer_name>Old</developer_name>"
        "<releases><release version='2.10.38' date='2024-05-03'/><release version=\"2.10.36\"/></releases>"
        "<provides><name>not this either</name></provides></component>");
    EXPECT_EQ(gimp.name, "GNU Image & Photo");
    EXPECT_EQ(gimp.developer, "The GIMP Team");
    EXPECT_EQ(gimp.version, "2.10.38");
    AppStreamComponent broken = appStreamComponent("<component><name>Half</name><releases><release version=\"1");
    EXPECT_EQ(broken.name, "Half");
    EXPECT_EQ(broken.version, "");
    EXPECT_EQ(appStreamComponent("<<<>>>\0&;").name, "");
}

TEST(SnapYaml, ValuesAndFirstListItems) {
    const std::string yaml =
        "name: firefox\nversion: '128.0.3-1'\nsummary: \"a: b\"\narchitectures:\n  - amd64\n  - arm64\n"
        "plugs: [home, network]\nempty:\nnext: 1\n";
    EXPECT_EQ(snapYamlValue(yaml, "name"), "firefox");
    EXPECT_EQ(snapYamlValue(yaml, "version"), "128.0.3-1");
    EXPECT_EQ(snapYamlValue(yaml, "summary"), "a: b");
    EXPECT_EQ(snapYamlValue(yaml, "architectures"), "amd64");
    EXPECT_EQ(snapYamlValue(yaml, "plugs"), "home");
    EXPECT_EQ(snapYamlValue(yaml, "empty"), "");
    EXPECT_EQ(snapYamlValue(yaml, "type"), "");
    EXPECT_EQ(snapYamlValue(yaml, "nam"), "");
}

}  // namespace
}  // namespace moravel::lx
