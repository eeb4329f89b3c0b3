// Names as both the Linux and the snapshot provider compare them.
#include <gtest/gtest.h>

#include <map>

#include "query/wmi_names.h"

namespace moravel {
namespace {

TEST(WmiNames, OnlySelectStarFromAClassNamesAClass) {
    EXPECT_EQ(queriedClass("SELECT * FROM Win32_Processor"), std::optional<std::string>("Win32_Processor"));
    EXPECT_EQ(queriedClass(" select\t*  from win32_bios "), std::optional<std::string>("win32_bios"));
    for (const char* other : {"SELECT Name FROM Win32_Processor", "SELECT * FROM Win32_Processor WHERE DeviceID='CPU0'",
                              "SELECT * FROM Win32_Processor;", "SELECT * FROM", "SELECT * INTO Win32_BIOS", ""})
        EXPECT_EQ(queriedClass(other), std::nullopt) << other;
}

TEST(WmiNames, CaseIsIgnoredAndAnExactKeyWins) {
    EXPECT_TRUE(sameWmiName("Win32_BIOS", "win32_bios"));
    EXPECT_TRUE(sameWmiName(kWmiNamespace, "root\\cimv2"));
    EXPECT_FALSE(sameWmiName("Name", "Names"));
    EXPECT_FALSE(sameWmiName("Name", "Nome"));
    std::map<std::string, int> properties = {{"NAME", 1}, {"Name", 2}, {"Size", 3}};
    EXPECT_EQ(findWmiName(properties, "Name")->second, 2);
    EXPECT_EQ(findWmiName(properties, "size")->second, 3);
    EXPECT_EQ(findWmiName(properties, "Caption"), properties.end());
}

}  // namespace
}  // namespace moravel
