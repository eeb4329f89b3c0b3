// The Details list: every item of every fixture in its group, the same list as text and JSON
// (hidden with --redact, escaped), and the rows the window shows of it: open and closed, and
// narrowed by a search.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run.h"
#include "details/details.h"
#include "details/rows.h"
#include "inventory/health.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel {
namespace {

using Json = nlohmann::json;

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

Inventory inventoryOf(const std::string& snapshotJson) {
    Backend machine = makeSnapshotBackendFromJson(snapshotJson, "machine.json");
    return readInventory(machine.provider.get(), machine.probes.get());
}

Inventory fixture(const std::string& name) {
    std::ifstream file(dataFile(name));
    std::stringstream text;
    text << file.rdbuf();
    return inventoryOf(text.str());
}

struct Printed {
    int status;
    std::string out, err;
};
Printed details(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "--details");
    std::ostringstream out, err;
    const int status = runReport(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::size_t itemsOfKind(const DetailsList& list, const std::string& kind) {
    std::size_t count = 0;
    for (const DetailsGroup& group : list)
        for (const InventoryItem& item : group.items) count += item.kind == kind;
    return count;
}

TEST(DetailsList, EveryFixtureHasEachThingInItsGroupAndNothingIsLeftOver) {
    const std::vector<std::string> order{"Computer", "Firmware and board", "Processors", "Memory modules",
                                         "Disks and volumes", "Graphics and monitors", "Network", "Battery",
                                         "Temperatures", "Sound and input", "USB", "PCI controllers", "Printers",
                                         "Accounts", "Antivirus", "Software"};
    for (const char* name : {"desktop.json", "laptop.json", "workstation.json", "win11-desktop.json",
                             "win11-laptop.json", "app_window.json", "snapshot_example.json", "secondhand.json",
                             "workstation_health.json"}) {
        SCOPED_TRACE(name);
        const Inventory inventory = fixture(name);
        const DetailsList list = detailsList(inventory);
        std::size_t at = 0;
        for (const DetailsGroup& group : list) {
            auto known = std::find(order.begin() + static_cast<long>(at), order.end(), group.title);
            ASSERT_NE(known, order.end()) << group.title << " is not a group, or out of order";
            at = static_cast<std::size_t>(known - order.begin()) + 1;
            EXPECT_FALSE(group.items.empty()) << group.title;
            for (const InventoryItem& item : group.items) EXPECT_FALSE(item.properties.empty()) << itemTitle(item);
        }
        EXPECT_EQ(itemsOfKind(list, "Processor"), inventory.processors.size());
        EXPECT_EQ(itemsOfKind(list, "Memory module"), inventory.memoryModules.size());
        EXPECT_EQ(itemsOfKind(list, "Disk"), inventory.disks.size());
        EXPECT_EQ(itemsOfKind(list, "Volume"), inventory.volumes.size());
        EXPECT_EQ(itemsOfKind(list, "Network adapter"), inventory.networkAdapters.size());
        EXPECT_EQ(itemsOfKind(list, "Monitor"), inventory.monitors.size());
        EXPECT_EQ(itemsOfKind(list, "Battery"), inventory.batteries.size());
        EXPECT_EQ(itemsOfKind(list, "Sound device"), inventory.soundDevices.size());
        EXPECT_EQ(itemsOfKind(list, "Keyboard") + itemsOfKind(list, "Pointing device"), inventory.inputs.size());
        EXPECT_EQ(itemsOfKind(list, "USB device"), inventory.usbDevices.size());
        EXPECT_EQ(itemsOfKind(list, "Printer"), inventory.printers.size());
        EXPECT_EQ(itemsOfKind(list, "Temperature"), inventory.temperatures.size());
        EXPECT_EQ(itemsOfKind(list, "Controller"), inventory.controllers.size());
        EXPECT_EQ(itemsOfKind(list, "Local user") + itemsOfKind(list, "Local group"),
                  inventory.localUsers.size() + inventory.localGroups.size());
        EXPECT_EQ(itemsOfKind(list, "Antivirus"), inventory.antivirus.size());
    }
}

TEST(DetailsList, TheMachinesOwnPartsAreNamedByWhatTheyAreAndCarryWhatTheFieldsShow) {
    const DetailsList list = detailsList(fixture("workstation.json"));
    const InventoryItem& computer = list.front().items.front();
    EXPECT_EQ(itemTitle(computer), "Computer: LENOVO 21FA002TGE");
    ASSERT_FALSE(computer.properties.empty());
    EXPECT_EQ(computer.properties.front().label, "Computer name");  // first, as people name a machine
    EXPECT_EQ(computer.properties.front().text, "WS-MVOSS");
    EXPECT_EQ(itemTitle(list[1].items.front()), "Firmware: LENOVO N3YET62W (1.37 )");
}

TEST(DetailsReport, TextAndJsonListTheSameAndRedactHidesSerials) {
    const Printed text = details({"--snapshot", dataFile("workstation.json")});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\n  Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C)\n"
                            "    Slot              Controller1-ChannelB-DIMM0\n"),
              std::string::npos)
        << text.out;
    const Printed json = details({"--json", "--snapshot", dataFile("workstation.json")});
    ASSERT_EQ(json.status, 0);
    const Json document = Json::parse(json.out);
    std::ostringstream again;  // the JSON's titles, labels and texts laid out as the text form
    for (const Json& group : document["groups"]) {
        again << group["title"].get<std::string>() << '\n';
        if (group.contains("note")) again << "  (" << group["note"].get<std::string>() << ")\n";
        for (const Json& item : group["items"]) {
            again << "  " << item["name"].get<std::string>() << '\n';
            std::size_t column = 0;
            for (const Json& property : item["properties"])
                column = std::max(column, property["label"].get<std::string>().size());
            for (const Json& property : item["properties"]) {
                const std::string label = property["label"];
                again << "    " << label << std::string(column + 2 - label.size(), ' ')
                      << property["text"].get<std::string>() << '\n';
            }
        }
    }
    EXPECT_EQ(again.str(), text.out);
    const std::string note = diskHealthNote(fixture("workstation.json"));  // said once, under the disks' title
    ASSERT_FALSE(note.empty());
    EXPECT_NE(text.out.find("Disks and volumes\n  (" + note + ")\n"), std::string::npos) << text.out;

    const Printed hidden = details({"--redact", "--snapshot", dataFile("workstation.json")});
    ASSERT_EQ(hidden.status, 0);
    EXPECT_EQ(hidden.out.find("2D4F6A9C"), std::string::npos);
    EXPECT_EQ(hidden.out.find("WS-MVOSS"), std::string::npos);
    EXPECT_NE(hidden.out.find("Serial number     (hidden)"), std::string::npos) << hidden.out;

    for (const char* other : {"--compare=x.json", "--inventory=glpi", "--save-snapshot=x.json"}) {
        const Printed refused = details({other});
        EXPECT_EQ(refused.status, 2) << other;
        EXPECT_NE(refused.err.find("'--details'"), std::string::npos) << refused.err;
    }
}

TEST(DetailsReport, ControlCharactersAndBrokenUtf8AreEscapedInBothForms) {
    testing::SnapshotBuilder machine;  // a snapshot is JSON: control characters, but whole characters
    machine.add("Win32_PhysicalMemory",
                {{"DeviceLocator", "DIMM\x1b[2J"}, {"PartNumber", "P\xe2\x80\xae\x7f\xc2\x9b"}, {"SerialNumber", "S1"}});
    const std::string path = ::testing::TempDir() + "details-hostile.json";
    std::ofstream(path) << machine.json();
    const Printed text = details({"--snapshot", path});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("  DIMM\\x1B[2J (serial S1)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("P\\u202E\\x7F\\u009B"), std::string::npos) << text.out;
    const Printed json = details({"--json", "--snapshot", path});
    ASSERT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("DIMM\\u001b[2J (serial S1)"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\\u007f\\u009b"), std::string::npos) << json.out;

    // A live machine's files may hold bytes that are not UTF-8.
    const DetailsList broken{{"USB", {{"USB device", "Stick\xff\xc3", {}, {{"Serial number", "\xc0\xaf" "1"}}}}, ""}};
    std::ostringstream brokenText, brokenJson;
    writeTextDetails(broken, brokenText);
    EXPECT_EQ(brokenText.str(), "USB\n  Stick\\xFF\\xC3\n    Serial number  \\xC0\\xAF1\n");
    writeJsonDetails(broken, brokenJson);
    const Json document = Json::parse(brokenJson.str());
    EXPECT_EQ(document["groups"][0]["items"][0]["name"], "Stick\xef\xbf\xbd\xef\xbf\xbd");
}

// The rows of a list: what each level shows, where a search narrows it.
class DetailsRowsTest : public ::testing::Test {
protected:
    DetailsList list_ = detailsList(fixture("workstation.json"));
    DetailsRows rows_{list_};

    std::size_t rowOf(const std::string& title) const {
        for (std::size_t row = 0; row < rows_.rows().size(); ++row) {
            const DetailsRow& at = rows_.rows()[row];
            const DetailsGroup& group = list_[at.group];
            const std::string text = at.level == DetailsRow::Level::Group  ? group.title
                                     : at.level == DetailsRow::Level::Item ? itemTitle(group.items[at.item])
                                                                           : "";
            if (text == title) return row;
        }
        return rows_.rows().size();
    }
};

TEST_F(DetailsRowsTest, SearchFindsAModuleByItsSerialInAnyCaseOpeningIt) {
    const std::size_t everything = rows_.rows().size();
    const std::string module = "Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C)";
    rows_.setOpen(rowOf(module), false);  // closed before the search: the search opens it
    rows_.search("  2d4f6a9c ");
    EXPECT_EQ(rows_.itemsShown(), 1u);
    EXPECT_EQ(rows_.itemCount(), 201u);  // 155 of them programs, updates and Store applications
    ASSERT_EQ(rows_.rows().size(), 2u + list_[3].items[3].properties.size());
    EXPECT_EQ(list_[rows_.rows()[0].group].title, "Memory modules");
    EXPECT_TRUE(rows_.rows()[1].found);  // its title holds the serial
    std::size_t found = 0;
    for (const DetailsRow& row : rows_.rows()) found += row.found;
    EXPECT_EQ(found, 2u);  // the title and the Serial number row
    EXPECT_EQ(rows_.copyText(rows_.rows().size() - 1), "Serial number: 2D4F6A9C\n");

    rows_.search("memory MODULES");  // a group's title: all of it
    EXPECT_EQ(rows_.itemsShown(), 4u);
    rows_.search("no such text");
    EXPECT_TRUE(rows_.rows().empty());
    rows_.search("");
    EXPECT_EQ(rows_.rows().size(), everything);
}

TEST_F(DetailsRowsTest, GroupsAndItemsOpenAndCloseAndCopyAsTheReportPrintsThem) {
    const std::size_t everything = rows_.rows().size(), memory = rowOf("Memory modules");
    const std::size_t shown = 1 + list_[3].items.size() + [&] {
        std::size_t properties = 0;
        for (const InventoryItem& item : list_[3].items) properties += item.properties.size();
        return properties;
    }();
    ASSERT_TRUE(rows_.isOpen(memory));
    rows_.setOpen(memory, false);
    EXPECT_FALSE(rows_.isOpen(memory));
    EXPECT_EQ(rows_.itemsShownIn(rows_.rows()[memory].group), 4u);  // closed, it still has them
    EXPECT_EQ(rows_.rows().size(), everything - shown + 1);
    EXPECT_EQ(rows_.rows()[memory + 1].level, DetailsRow::Level::Group);  // the next group follows
    rows_.setOpen(memory, true);
    EXPECT_EQ(rows_.rows().size(), everything);

    const std::size_t module = memory + 1, property = module + 3;
    EXPECT_EQ(rows_.parentRow(property), module);
    EXPECT_EQ(rows_.parentRow(module), memory);
    EXPECT_FALSE(rows_.opens(property));
    std::ostringstream item, group;
    writeTextItem(list_[3].items[0], "", item);
    EXPECT_EQ(rows_.copyText(module), item.str());
    writeTextDetails({list_[3]}, group);
    EXPECT_EQ(rows_.copyText(memory), group.str());
}

}  // namespace
}  // namespace moravel
