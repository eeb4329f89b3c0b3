#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "providers/linux/system/udev_records.h"

namespace moravel::lx {
namespace {

// A fixture tree's records come from its files: values decoded, a blank one missing, a device
// udev never saw empty; and each record is read once, however its file changes afterwards.
TEST(UdevRecords, FixtureRecordFilesAreReadOnceEach) {
    std::string root = std::string(MORAVEL_BINARY_DIR) + "/udev-records-root";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/run/udev/data");
    std::ofstream(root + "/run/udev/data/b8:0") << "S:disk/by-id/ata-Disk\nI:1000\n"
                                                   "E:ID_MODEL_ENC=Disk\\x20One\\x20\\x20\nE:ID_FS_LABEL= \n";
    std::unique_ptr<UdevRecords> records = makeUdevRecords(RootFs(root));
    EXPECT_EQ(records->value("b8:0", "ID_MODEL_ENC"), std::optional<std::string>("Disk One"));
    EXPECT_EQ(records->value("b8:0", "ID_FS_LABEL"), std::nullopt);
    EXPECT_EQ(records->record("b8:0").size(), 2u);
    EXPECT_TRUE(records->record("b8:16").empty());

    std::ofstream(root + "/run/udev/data/b8:0") << "E:ID_MODEL_ENC=Other\n";
    std::ofstream(root + "/run/udev/data/b8:16") << "E:ID_MODEL_ENC=Late\n";
    EXPECT_EQ(records->value("b8:0", "ID_MODEL_ENC"), std::optional<std::string>("Disk One"));
    EXPECT_TRUE(records->record("b8:16").empty());
    EXPECT_EQ(makeUdevRecords(RootFs(root))->value("b8:0", "ID_MODEL_ENC"), std::optional<std::string>("Other"));
}

// On this machine, libudev says what udev's own record files say: every property a file holds
// has the same value in libudev's record of that device, which also holds what the kernel says
// (SUBSYSTEM), as no record file does. The live provider reads through libudev.
TEST(UdevRecords, LibudevAgreesWithTheRecordFilesHere) {
    const std::string data = "/run/udev/data";
    std::error_code error;
    if (!std::filesystem::exists("/run/udev/control", error) || std::filesystem::is_empty(data, error) || error)
        GTEST_SKIP() << "udevd does not run here: there are no records to compare";
    RootFs live("/");
    std::unique_ptr<UdevRecords> files = makeUdevRecordFiles(live);
    std::unique_ptr<UdevRecords> chosen = makeUdevRecords(live);
    std::size_t compared = 0;
    for (const std::string& id : live.list(data)) {
        const UdevProperties& kernelAndUdev = chosen->record(id);
        if (kernelAndUdev.empty()) continue;  // the device left since udev recorded it
        auto valueOf = [&](const std::string& key) -> std::optional<std::string> {
            for (const auto& [name, value] : kernelAndUdev)
                if (name == key) return value;
            return std::nullopt;
        };
        for (const auto& [name, value] : files->record(id))
            EXPECT_EQ(valueOf(name), std::optional<std::string>(value)) << id << " " << name;
        EXPECT_NE(valueOf("SUBSYSTEM"), std::nullopt) << id;
        ++compared;
    }
    EXPECT_GT(compared, 0u);
}

}  // namespace
}  // namespace moravel::lx
