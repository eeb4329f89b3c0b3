// The Details list as a comparison marks it: a replaced module and the properties that differ,
// an item added, an item removed put back in its group (made anew where this machine has none
// of its kind), values that change by themselves dashed, and nothing without a comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <nlohmann/json.hpp>

#include "details/marks.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

using Json = nlohmann::json;

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

Json machine(const std::string& name) {
    std::ifstream file(dataFile(name));
    return Json::parse(file);
}

std::string saved(const Json& machine, const std::string& name) {
    const std::string path = ::testing::TempDir() + "marks-" + name + ".json";
    std::ofstream(path) << machine.dump();
    return path;
}

// The snapshot at `before` against the machine at `after`, as the window compares them.
struct Compared {
    DetailsList machine;
    Comparison comparison;
};
Compared compared(const std::string& before, const std::string& after) {
    Backend machineBackend = makeSnapshotBackend(after);
    const DetailsList list = detailsList(readInventory(machineBackend.provider.get(), machineBackend.probes.get()));
    return {list, compareSides(CompareSide::fromFile(before), CompareSide::fromFile(after), false)};
}

struct Found {
    const InventoryItem* item = nullptr;
    const ItemMark* mark = nullptr;
    std::string group;
};
Found find(const MarkedDetails& marked, const std::string& title) {
    for (std::size_t g = 0; g < marked.list.size(); ++g)
        for (std::size_t i = 0; i < marked.list[g].items.size(); ++i)
            if (itemTitle(marked.list[g].items[i]) == title)
                return {&marked.list[g].items[i], &marked.marks[g][i], marked.list[g].title};
    return {};
}

std::string markedLabels(const Found& found) {
    std::string labels;
    for (std::size_t p = 0; p < found.item->properties.size(); ++p)
        if (found.mark->properties.at(p).mark != DifferenceMark::Plain) labels += found.item->properties[p].label + ";";
    return labels;
}

TEST(DetailsMarks, ASwappedModuleAndItsDifferingPropertiesAreMarkedAndNothingElse) {
    const Compared pair = compared(dataFile("workstation_seller.json"), dataFile("workstation.json"));
    const MarkedDetails marked = markedDetails(pair.machine, &pair.comparison, "seller.json");
    EXPECT_EQ(marked.marked(), 2u);  // the module and the disk, as the comparison counts its parts
    const Found module = find(marked, "Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C)");
    ASSERT_NE(module.item, nullptr);
    EXPECT_EQ(module.mark->mark, DifferenceMark::Changed);
    EXPECT_EQ(module.mark->change, "replaced");
    EXPECT_EQ(module.mark->was, "In seller.json:\nController1-ChannelB-DIMM0 16 GB DDR5 (serial 47A1C31F) (replaced)");
    EXPECT_EQ(markedLabels(module), "Manufacturer;Part number;Serial number;");
    const auto& properties = module.item->properties;
    const std::size_t maker = static_cast<std::size_t>(
        std::find_if(properties.begin(), properties.end(), [](const ItemProperty& p) { return p.label == "Manufacturer"; }) -
        properties.begin());
    EXPECT_EQ(module.mark->properties[maker].was, "In seller.json:\nSamsung");
    EXPECT_EQ(find(marked, "Controller1-ChannelA-DIMM0 16 GB DDR5 (serial 2D4F6A81)").mark->mark, DifferenceMark::Plain);
    EXPECT_EQ(marked.list.size(), pair.machine.size());  // nothing removed: no group added

    const MarkedDetails plain = markedDetails(pair.machine, nullptr, "");
    EXPECT_EQ(plain.marked(), 0u);
}

TEST(DetailsMarks, ARemovedItemIsPutBackInItsGroupAndAnAddedOneMarked) {
    Json fewer = machine("workstation.json");
    Json& modules = fewer["classes"]["Win32_PhysicalMemory"];
    modules.erase(modules.begin() + 1);  // the second module taken out
    for (const char* battery : {"Win32_Battery", "BatteryStaticData", "BatteryFullChargedCapacity", "BatteryCycleCount"})
        fewer["classes"][battery] = Json::array();  // and the battery, the only one of its group
    const std::string full = dataFile("workstation.json"), taken = saved(fewer, "fewer");

    const Compared removed = compared(full, taken);
    const MarkedDetails marked = markedDetails(removed.machine, &removed.comparison, "workstation.json");
    const Found module = find(marked, "Controller0-ChannelB-DIMM0 16 GB DDR5 (serial 47A1C2E8)");
    ASSERT_NE(module.item, nullptr) << "the removed module is not shown";
    EXPECT_EQ(module.group, "Memory modules");
    EXPECT_EQ(module.mark->change, "removed");
    EXPECT_EQ(module.mark->was, "Only in workstation.json: not in this machine");
    EXPECT_FALSE(module.item->properties.empty());  // as the snapshot describes it
    bool batteryGroup = false;
    for (const DetailsGroup& group : marked.list) batteryGroup = batteryGroup || group.title == "Battery";
    EXPECT_TRUE(batteryGroup) << "the removed battery's group is not made";
    ASSERT_EQ(marked.marks.size(), marked.list.size());
    for (std::size_t g = 0; g < marked.list.size(); ++g) EXPECT_EQ(marked.marks[g].size(), marked.list[g].items.size());

    const Compared added = compared(taken, full);
    const MarkedDetails back = markedDetails(added.machine, &added.comparison, "fewer.json");
    const Found again = find(back, "Controller0-ChannelB-DIMM0 16 GB DDR5 (serial 47A1C2E8)");
    ASSERT_NE(again.item, nullptr);
    EXPECT_EQ(again.mark->change, "added");
    EXPECT_EQ(again.mark->was, "Not in fewer.json: added");
    EXPECT_EQ(back.list.size(), added.machine.size());
}

// A snapshot saved before modules were recorded: their group says it was not compared rather than
// showing nothing marked, and only that group says so.
TEST(DetailsMarks, AGroupWhoseKindTheSnapshotDoesNotRecordSaysSo) {
    Json older = machine("workstation_seller.json");
    older["classes"].erase("Win32_PhysicalMemory");
    const Compared pair = compared(saved(older, "older"), dataFile("workstation.json"));
    const MarkedDetails marked = markedDetails(pair.machine, &pair.comparison, "older.json");
    ASSERT_EQ(marked.uncompared.size(), marked.list.size());
    std::string notes;
    for (std::size_t g = 0; g < marked.list.size(); ++g)
        if (!marked.uncompared[g].empty()) notes += marked.list[g].title + ": " + marked.uncompared[g] + ";";
    EXPECT_EQ(notes, "Memory modules: not compared: memory modules (older.json does not record them);");
    EXPECT_EQ(find(marked, "Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C)").mark->mark, DifferenceMark::Plain);
    EXPECT_EQ(marked.comparedWith, "older.json");

    const MarkedDetails plain = markedDetails(pair.machine, nullptr, "");
    EXPECT_TRUE(std::all_of(plain.uncompared.begin(), plain.uncompared.end(), [](const std::string& note) { return note.empty(); }));
    EXPECT_TRUE(plain.comparedWith.empty());
}

TEST(DetailsMarks, ValuesThatChangeByThemselvesAreDashedAndHiddenOnesNotMarked) {
    EXPECT_EQ(markOf(Difference::Changed), DifferenceMark::Changed);
    EXPECT_EQ(markOf(Difference::Attached), DifferenceMark::Changed);
    EXPECT_EQ(markOf(Difference::Software), DifferenceMark::Changed);
    EXPECT_EQ(markOf(Difference::ByItself), DifferenceMark::ByItself);
    EXPECT_EQ(markOf(Difference::Unknown), DifferenceMark::Plain);
    // A battery that wore: its capacity changes by itself.
    Json worn = machine("workstation.json");
    Json& battery = worn["classes"]["BatteryFullChargedCapacity"][0];
    battery["FullChargedCapacity"] = battery["FullChargedCapacity"].get<long long>() - 5000;
    const Compared pair = compared(dataFile("workstation.json"), saved(worn, "worn"));
    const MarkedDetails marked = markedDetails(pair.machine, &pair.comparison, "workstation.json");
    for (std::size_t g = 0; g < marked.list.size(); ++g)
        for (std::size_t i = 0; i < marked.list[g].items.size(); ++i)
            if (marked.list[g].items[i].kind == "Battery") {
                EXPECT_EQ(marked.marks[g][i].mark, DifferenceMark::ByItself);
                return;
            }
    ADD_FAILURE() << "no battery";
}

}  // namespace
}  // namespace moravel
