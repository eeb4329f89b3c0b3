// An RPM database that rpm itself made (where rpm and rpmbuild are installed, as install-deps
// installs them): the reader lists what `rpm -qa` lists, field for field.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "providers/linux/system/cim_dates.h"
#include "query/installed_software.h"
#include "query/wmi_names.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

namespace fs = std::filesystem;

// Two packages built with rpmbuild (one with an epoch) and recorded in a new database below
// `root`; what `rpm -qa` says of them goes to `listed`.
const char* const kMakeDatabase = R"(set -e
cd "$1"
mkdir -p top root/var/lib/rpm
for n in first second; do
  { echo "Name: moravel-$n"; echo "Version: 1.2"; echo "Release: 3.fc40"
    [ $n = first ] && echo "Epoch: 4"
    echo "Summary: a package"; echo "License: MIT"; echo "Group: Applications/System"
    echo "Vendor: Moravel Tests"; echo "BuildArch: noarch"; echo "%description"; echo "a package"; echo "%files"
  } >$n.build
  rpmbuild --quiet --define "_topdir $PWD/top" -bb $n.build >/dev/null 2>&1
done
rpm --dbpath "$PWD/root/var/lib/rpm" --initdb
rpm --dbpath "$PWD/root/var/lib/rpm" -i --justdb --nodeps --noscripts top/RPMS/noarch/*.rpm >/dev/null 2>&1
rpm --dbpath "$PWD/root/var/lib/rpm" -qa --qf '%{NAME}|%{EVR}|%{VENDOR}|%{INSTALLTIME}|%{LONGSIZE}|%{ARCH}|%{GROUP}\n' >listed
)";

TEST(RpmDatabase, ListsWhatRpmItselfLists) {
    if (std::system("command -v rpm >/dev/null && command -v rpmbuild >/dev/null") != 0)
        GTEST_SKIP() << "rpm and rpmbuild are not installed";
    const fs::path work = fs::path(::testing::TempDir()) / ("rpm-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    std::ofstream(work / "make.sh") << kMakeDatabase;
    ASSERT_EQ(std::system(("sh " + (work / "make.sh").string() + " " + work.string()).c_str()), 0);

    FakeHost host;
    std::vector<std::string> expected;
    std::ifstream listed(work / "listed");
    for (std::string line; std::getline(listed, line);) {
        // rpm's fields in the reader's terms: the install time as a CIM date in the host's zone.
        std::vector<std::string> field;
        std::istringstream split(line);
        for (std::string part; std::getline(split, part, '|');) field.push_back(part);
        ASSERT_EQ(field.size(), 7u) << line;
        expected.push_back(field[0] + "|" + field[1] + "|" + field[2] + "|" +
                           cimDateTime(host, static_cast<std::time_t>(std::stoll(field[3]))) + "|" + field[4] + "|" +
                           field[5] + "|rpm|" + field[6]);
    }
    ASSERT_EQ(expected.size(), 2u);

    FixtureMachine machine((work / "root").string());
    std::vector<std::string> read;
    runQueryCycle(machine.provider(), kWmiNamespace, selectAllFrom(kInstalledSoftwareClass), [&](WmiObject& object) {
        std::string row;
        for (const char* property : {"Name", "Version", "Publisher", "InstallDate", "Size", "Architecture", "Source",
                                     "Category"}) {
            WmiValue value;
            object.get(property, value);
            row += (row.empty() ? "" : "|") + value.text;
        }
        read.push_back(row);
        return true;
    });
    std::sort(expected.begin(), expected.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, expected);
    fs::remove_all(work);
}

}  // namespace
}  // namespace moravel::lx::test
