// The whole file or none of it, what the name stands for kept, and moravel-report --output on top
// of it. tests/cli/test_output_files.sh covers devices, permissions, limits and signals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "cli/run.h"
#include "io/file_writer.h"

namespace moravel {
namespace {

namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) /
                  ("report_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& entry : fs::directory_iterator(folder_)) list.push_back(entry.path().filename().string());
        return list;
    }
    static std::string content(const std::string& file) {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

    fs::path folder_;
};

TEST_F(ReportFile, ReplacesTheWholeFileOrLeavesEverythingAsItWas) {
    EXPECT_EQ(writeFileSafely(path("r.txt"), "first\n"), std::nullopt);
    EXPECT_EQ(writeFileSafely(path("r.txt"), "second\n"), std::nullopt);
    EXPECT_EQ(content(path("r.txt")), "second\n");
    fs::create_directory(path("folder"));
    EXPECT_EQ(writeFileSafely(path("folder"), "x"), std::optional<std::string>("is a folder"));
    std::optional<std::string> missing = writeFileSafely(path("no/such/r.txt"), "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing, "No such file or directory");
    EXPECT_EQ(names().size(), 2u) << "a temporary file was left behind";
    EXPECT_TRUE(fs::is_empty(path("folder")));
}

TEST_F(ReportFile, LinksAreFollowedAndModesKept) {
    std::ofstream(path("target.txt")) << "old";
    fs::create_symlink("target.txt", path("link.txt"));
    fs::create_symlink("new.txt", path("dangling.txt"));
    ASSERT_EQ(::chmod(path("target.txt").c_str(), 0600), 0);
    EXPECT_EQ(writeFileSafely(path("link.txt"), "through the link"), std::nullopt);
    EXPECT_EQ(writeFileSafely(path("dangling.txt"), "a new target"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(content(path("target.txt")), "through the link");
    EXPECT_EQ(fs::status(path("target.txt")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_symlink(path("dangling.txt")));
    EXPECT_EQ(content(path("new.txt")), "a new target");
    const mode_t mask = ::umask(022);
    EXPECT_EQ(writeFileSafely(path("fresh.txt"), "x"), std::nullopt);
    ::umask(mask);
    EXPECT_EQ(fs::status(path("fresh.txt")).permissions(), static_cast<fs::perms>(0644));
    const std::string longest(250, 'n');  // the temporary name must not grow a name near NAME_MAX
    EXPECT_EQ(writeFileSafely(path(longest), "long"), std::nullopt);
    EXPECT_EQ(content(path(longest)), "long");
    EXPECT_EQ(names().size(), 6u) << "a temporary file was left behind";
}

TEST_F(ReportFile, AFifoIsWrittenToItsReaderNotReplaced) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(writeFileSafely(path("fifo"), "x"), std::optional<std::string>("no program reads the FIFO"));
    auto reader = std::async(std::launch::async, [&] { return content(path("fifo")); });
    std::optional<std::string> problem = std::string("not written");
    while (reader.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           (problem = writeFileSafely(path("fifo"), std::string(1 << 20, 'f'))))
        ;  // until the reader has opened its end
    EXPECT_EQ(problem, std::nullopt);
    EXPECT_EQ(reader.get(), std::string(1 << 20, 'f'));
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
}

TEST_F(ReportFile, OutputOptionWritesWhatStandardOutputWouldShow) {
    const std::string snapshot = std::string(MORAVEL_SOURCE_DIR) + "/tests/data/laptop.json";
    std::ostringstream printed, out, err;
    ASSERT_EQ(runReport({"--json", "--snapshot", snapshot}, printed, err), 0);
    ASSERT_EQ(runReport({"--json", "--snapshot", snapshot, "--output", path("r.json")}, out, err), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(content(path("r.json")), printed.str());

    std::ostringstream none, refused;
    EXPECT_EQ(runReport({"--snapshot", snapshot, "--output=" + path("no/r.txt")}, none, refused), 2);
    EXPECT_EQ(refused.str(), "moravel-report: cannot write " + path("no/r.txt") + ": No such file or directory\n");
    EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace moravel
