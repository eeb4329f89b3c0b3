// What lets a comparison take a million items: kinds read a piece at a time with their other
// classes found by key, sides whose answers are alike left unread, the JSON written entry by
// entry, hashes that can be fed in pieces. (How fast it is: bench/compare_speed.sh.)
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run.h"
#include "compare/compare.h"
#include "compare/keyed_hash.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

using Json = nlohmann::json;

// A machine of `count` disks, each with its serial number only in Win32_PhysicalMedia (as
// Windows 7 had it), the media listed the other way round, or without Tags in the disks' order.
Json disks(std::size_t count, bool tagged) {
    Json drives = Json::array(), media = Json::array();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string device = "\\\\.\\PHYSICALDRIVE" + std::to_string(i);
        drives.push_back({{"DeviceID", device}, {"Model", "Disk " + std::to_string(i)}, {"Index", i}});
        Json medium = {{"SerialNumber", "S" + std::to_string(i)}};
        if (tagged) medium["Tag"] = device;
        media.push_back(medium);
    }
    if (tagged) std::reverse(media.begin(), media.end());
    return {{"classes", {{"Win32_DiskDrive", drives}, {"Win32_PhysicalMedia", media}}}};
}

std::vector<InventoryItem> itemsOf(const Json& machine, InventoryKind kind) {
    Backend backend = makeSnapshotBackendFromJson(machine.dump(), "test.json");
    std::vector<InventoryItem> items;
    readItems(backend.provider.get(), backend.probes.get(), kind,
              [&](const InventoryItem& item) { items.push_back(item); });
    return items;
}

std::string serialOf(const InventoryItem& item) {
    for (const ItemProperty& property : item.properties)
        if (property.label == "Serial number") return property.text;
    return {};
}

// More disks than one piece holds: each still finds its medium, by Tag or by its place in the
// whole list, not in its piece.
TEST(CompareScale, KindsReadInPiecesJoinAsWhole) {
    for (bool tagged : {true, false}) {
        const std::vector<InventoryItem> items = itemsOf(disks(9000, tagged), InventoryKind::Disk);
        ASSERT_EQ(items.size(), 9000u);
        for (std::size_t i : {0u, 4095u, 4096u, 8191u, 8999u})
            EXPECT_EQ(serialOf(items[i]), "S" + std::to_string(i)) << tagged;
    }
}

std::string saved(const Json& machine, const std::string& name) {
    const std::string path = ::testing::TempDir() + "compare-scale-" + name + ".json";
    std::ofstream(path) << machine.dump();
    return path;
}

// Alike answers need no items read; any difference in what a kind reads, a staged failure
// among them, keeps it compared.
TEST(CompareScale, AlikeAnswersAreLeftUnread) {
    const Json machine = disks(3, true);
    const CompareSide one = CompareSide::fromFile(saved(machine, "one"));
    const CompareSide same = CompareSide::fromFile(saved(machine, "same"));
    EXPECT_TRUE(one.answersAlike(same, InventoryKind::Disk));
    EXPECT_FALSE(one.answersAlike(same, InventoryKind::Computer)) << "only lists of parts are left unread";

    Json media = machine;
    media["classes"]["Win32_PhysicalMedia"][1]["SerialNumber"] = "S9";
    EXPECT_FALSE(one.answersAlike(CompareSide::fromFile(saved(media, "media")), InventoryKind::Disk));
    Json failing = machine;
    failing["failures"] = {{"SELECT * FROM Win32_PhysicalMedia", {{"step", "ExecQuery"}, {"code", "0x80041017"}}}};
    EXPECT_FALSE(one.answersAlike(CompareSide::fromFile(saved(failing, "failing")), InventoryKind::Disk));

    // A recording holds values, not text: its values are what is compared.
    Backend file = makeSnapshotBackendFromJson(machine.dump(), "machine.json");
    std::ostringstream discarded;
    const CompareSide recorded = CompareSide::fromMachine(*file.provider, *file.probes, "this machine", discarded);
    EXPECT_TRUE(one.answersAlike(recorded, InventoryKind::Disk));
    EXPECT_FALSE(CompareSide::fromFile(saved(media, "media")).answersAlike(recorded, InventoryKind::Disk));
}

TEST(CompareScale, JsonWrittenInPiecesIsOneDocument) {
    Json before = disks(2, true), after = disks(2, true);
    after["classes"]["Win32_DiskDrive"][1]["Model"] = "Disk \x7f \xC2\x85 \"quoted\"";
    std::ostringstream out, err;
    ASSERT_EQ(runReport({"--compare", saved(before, "json-old"), saved(after, "json-new"), "--json"}, out, err), 1);
    const Json document = Json::parse(out.str());
    EXPECT_EQ(document["changed"]["items"][0]["properties"][0]["new"], "Disk \x7f \xC2\x85 \"quoted\"");
    EXPECT_EQ(out.str().find('\x7f'), std::string::npos) << "DEL escaped as in the report";
    EXPECT_EQ(document["notCompared"]["kinds"].size(), 8u) << "the machines record disks alone";
}

TEST(KeyedHash, PiecesHashAsTheWhole) {
    const std::string text = "The quick brown fox jumps over the lazy dog, twice: the quick brown fox.";
    const HashKey key{1, 2};
    for (std::size_t cut = 0; cut <= text.size(); cut += 7) {
        SipHasher hasher(key);
        hasher.add(std::string_view(text).substr(0, cut));
        hasher.add(std::string_view(text).substr(cut));
        EXPECT_EQ(hasher.finish(), sipHash(text, key)) << cut;
    }
}

}  // namespace
}  // namespace moravel
