// Moravel_InstalledSoftware on Linux: the fixture machines' packages and applications with every
// property, and what a broken, unreadable or enormous database leaves of the list.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "query/installed_software.h"
#include "query/wmi_names.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

namespace fs = std::filesystem;

// Every listed program of the installed machine as
// "name|version|publisher|date|size|location|code|arch|source|category".
std::vector<std::string> softwareRows(FixtureMachine& machine) {
    const char* properties[] = {"Name",        "Version",      "Publisher",    "InstallDate", "Size",
                                "InstallLocation", "ProductCode", "Architecture", "Source",     "Category"};
    std::vector<std::string> rows;
    runQueryCycle(machine.provider(), kWmiNamespace, selectAllFrom(kInstalledSoftwareClass), [&](WmiObject& object) {
        std::string row;
        for (const char* property : properties) {
            WmiValue value;
            EXPECT_FALSE(failed(object.get(property, value))) << property;
            row += (row.empty() ? "" : "|") + value.text;
        }
        rows.push_back(row);
        return true;
    });
    return rows;
}

TEST(InstalledSoftware, DebianWorkstationPackagesFlatpaksAndSnaps) {
    FixtureMachine machine(fixtureRoot("workstation"));
    const std::string when = "20240425010640.000000+120";  // the fake file time, two hours east
    EXPECT_EQ(softwareRows(machine),
              (std::vector<std::string>{
                  "bash|5.2.15-2+b7|Matthias Klose|" + when + "|7335936|||amd64|deb|shells",
                  "libc6|2.36-9+deb12u7|GNU Libc Maintainers|" + when + "|13297664|||amd64|deb|libs",
                  "util-linux|2.38.1-5+deb12u3|util-linux packagers|" + when + "|5023744|||amd64|deb|utils",
                  "tzdata|2024a-0+deb12u1|GNU Libc Maintainers|" + when + "|3445760|||all|deb|localization",
                  "firmware-linux-free|20200122-1|Debian Kernel Team|" + when + "||||all|deb|kernel",
                  "org.example.Bare|||" + when + "||/var/lib/flatpak/app/org.example.Bare/x86_64/stable/99aa|org.example.Bare|x86_64|flatpak|",
                  "GNU Image Manipulation Program|2.10.38|The GIMP Team & friends|" + when +
                      "||/var/lib/flatpak/app/org.gimp.GIMP/x86_64/stable/0a1b2c3d4e5f|org.gimp.GIMP|x86_64|flatpak|",
                  "core22|20240408||" + when + "||/snap/core22/1380||amd64|snap|base",
                  "firefox|128.0.3-1||" + when + "||/snap/firefox/4793||amd64|snap|app",
              }));
}

TEST(InstalledSoftware, FedoraGuestPackagesFromItsRpmDatabase) {
    FixtureMachine machine(fixtureRoot("kvm"));
    EXPECT_EQ(softwareRows(machine),
              (std::vector<std::string>{
                  "bash|5.2.26-3.fc40|Fedora Project|20240425010640.000000+120|8372411|||x86_64|rpm|Unspecified",
                  "perl-Errno|0:1.37-506.fc40|Fedora Project|20240425010820.000000+120|8925|||x86_64|rpm|Unspecified",
                  "texlive-cm-super|11:svn65347-70.fc40|Fedora Project|20240425011000.000000+120|5368709120|||noarch|rpm|"
                  "Unspecified",
                  "gpg-pubkey|a15b79cc-63d04c2c||20240425011140.000000+120|0||||rpm|Public Keys",
              }));
}

TEST(InstalledSoftware, NothingWhereThereIsNoDatabase) {
    FixtureMachine machine(fixtureRoot("container"));
    EXPECT_TRUE(softwareRows(machine).empty());
}

// A machine of its own in a temporary folder, for databases no fixture should hold.
class ScratchMachine {
public:
    ScratchMachine() : root_(fs::path(::testing::TempDir()) / ("software-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
    }
    ~ScratchMachine() { fs::remove_all(root_); }
    void write(const std::string& rel, const std::string& content) {
        fs::create_directories((root_ / rel.substr(1)).parent_path());
        std::ofstream(root_ / rel.substr(1), std::ios::binary) << content;
    }
    // The names listed, and the line the reading wrote to stderr.
    std::pair<std::vector<std::string>, std::string> read() const {
        FixtureMachine machine(root_.string());
        std::ostringstream said;
        std::streambuf* const saved = std::cerr.rdbuf(said.rdbuf());
        std::vector<std::string> names;
        for (const std::string& row : softwareRows(machine)) names.push_back(row.substr(0, row.find('|')));
        std::cerr.rdbuf(saved);
        return {names, said.str()};
    }

private:
    fs::path root_;
};

TEST(InstalledSoftware, BrokenDatabasesCostOneLineAndNothingElse) {
    ScratchMachine machine;
    machine.write("/var/lib/dpkg/status",
                  "Package: good\nStatus: install ok installed\n\n\x01\x02 garbage\n\nPackage: also\nStatus: install ok "
                  "installed\n");
    machine.write("/var/lib/rpm/rpmdb.sqlite", "this is not a database, only its name");
    machine.write("/var/lib/flatpak/app/org.broken.App/current", "");  // no link: no application
    auto [names, said] = machine.read();
    EXPECT_EQ(names, (std::vector<std::string>{"good", "also"}));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("/var/lib/dpkg/status: 1 record is not a package"), std::string::npos) << said;
    EXPECT_NE(said.find("/var/lib/rpm/rpmdb.sqlite: "), std::string::npos) << said;
}

TEST(InstalledSoftware, AnRpmDatabaseKeptInAnotherFormIsSaidSo) {
    ScratchMachine machine;
    machine.write("/var/lib/rpm/Packages", std::string(4096, '\0'));  // Berkeley DB, before rpm 4.16
    auto [names, said] = machine.read();
    EXPECT_TRUE(names.empty());
    EXPECT_NE(said.find("not kept in SQLite"), std::string::npos) << said;
}

TEST(InstalledSoftware, AHundredThousandPackagesAreCutToTheBound) {
    std::string status;
    for (int i = 0; i < 100000; ++i)
        status += "Package: p" + std::to_string(i) + "\nStatus: install ok installed\nVersion: 1.0\n\n";
    ScratchMachine machine;
    machine.write("/var/lib/dpkg/status", status);
    auto [names, said] = machine.read();
    EXPECT_EQ(names.size(), kMaxInstalledSoftware);
    EXPECT_EQ(names.back(), "p" + std::to_string(kMaxInstalledSoftware - 1));
    EXPECT_EQ(said, "Installed software: more than " + std::to_string(kMaxInstalledSoftware) +
                        " programs: those after them are left out\n");
}

}  // namespace
}  // namespace moravel::lx::test
