#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "providers/linux/system/root_fs.h"

namespace moravel::lx {
namespace {

// Files that are not what they claim: a loop of links, a FIFO with no writer, a device that
// never ends, a file over the cap. None blocks or aborts; each reads as missing or empty, and one
// that reached the cap is read once.
TEST(RootFs, HostileFilesReadAsMissingWithoutBlocking) {
    std::string root = std::string(MORAVEL_BINARY_DIR) + "/hostile-root";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/proc");
    std::filesystem::create_symlink("loop-b", root + "/proc/loop-a");
    std::filesystem::create_symlink("loop-a", root + "/proc/loop-b");
    ASSERT_EQ(::mkfifo((root + "/proc/fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", root + "/proc/zero");
    std::ofstream(root + "/proc/big") << std::string(4096, 'x');

    RootFs fs(root);
    EXPECT_EQ(fs.read("/proc/loop-a"), std::nullopt);
    EXPECT_EQ(fs.line("/proc/loop-a"), std::nullopt);
    EXPECT_EQ(fs.resolved("/proc/loop-a"), "");
    EXPECT_EQ(fs.read("/proc/fifo"), std::optional<std::string>(""));
    EXPECT_EQ(fs.read("/proc/zero", 1 << 20), std::nullopt);
    EXPECT_EQ(fs.read("/proc/big", 4095), std::nullopt);
    EXPECT_EQ(fs.read("/proc/big", 4096)->size(), 4096u);

    // What reached the cap is not read again, by this object or its copies; other files are.
    std::filesystem::remove(root + "/proc/zero");
    std::ofstream(root + "/proc/zero") << "now short";
    std::ofstream(root + "/proc/big") << "short";
    const RootFs copy = fs;
    EXPECT_EQ(copy.read("/proc/zero", 1 << 20), std::nullopt);
    EXPECT_EQ(copy.read("/proc/big", 4095), std::nullopt);
    EXPECT_EQ(copy.read("/proc/big", 4096), std::optional<std::string>("short"));
    EXPECT_EQ(RootFs(root).read("/proc/zero", 1 << 20), std::optional<std::string>("now short"));
    std::filesystem::remove_all(root);
}

// Facts kept for the process keep their first answer, in copies too; a watched file is read
// afresh each time through its kept descriptor, and one that appears later is found.
TEST(RootFs, KeptAnswersStayAndAWatchedFileFollowsItsText) {
    std::string root = std::string(MORAVEL_BINARY_DIR) + "/kept-root";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/sys/block/sda");
    std::ofstream(root + "/sys/cards") << "0 [PCH]: HDA\n";
    std::ofstream(root + "/sys/online") << "0-3\n";
    RootFs fs(root);
    EXPECT_EQ(fs.readOnce("/sys/cards"), std::optional<std::string>("0 [PCH]: HDA\n"));
    EXPECT_TRUE(fs.existsOnce("/sys/block/sda"));
    EXPECT_FALSE(fs.existsOnce("/sys/block/sdb"));
    EXPECT_EQ(fs.lineAgain("/sys/online"), std::optional<std::string>("0-3"));
    EXPECT_EQ(fs.lineAgain("/sys/later"), std::nullopt);

    std::ofstream(root + "/sys/cards") << "";
    std::filesystem::create_directories(root + "/sys/block/sdb");
    std::ofstream(root + "/sys/online") << "0-1\n";
    std::ofstream(root + "/sys/later") << "1\n";
    const RootFs copy = fs;
    EXPECT_EQ(copy.readOnce("/sys/cards"), std::optional<std::string>("0 [PCH]: HDA\n"));
    EXPECT_FALSE(copy.existsOnce("/sys/block/sdb"));
    EXPECT_EQ(copy.lineAgain("/sys/online"), std::optional<std::string>("0-1"));
    EXPECT_EQ(copy.lineAgain("/sys/later"), std::optional<std::string>("1"));
    EXPECT_TRUE(RootFs(root).existsOnce("/sys/block/sdb"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace moravel::lx
