// The whole file or none of it, and moravel-report --output on top of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/report_file.h"
#include "app/report_run.h"

namespace moravel {
namespace {

namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / ("report_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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
    EXPECT_EQ(writeFileAtomically(path("r.txt"), "first\n"), std::nullopt);
    EXPECT_EQ(writeFileAtomically(path("r.txt"), "second\n"), std::nullopt);
    EXPECT_EQ(content(path("r.txt")), "second\n");
    fs::create_directory(path("folder"));
    EXPECT_EQ(writeFileAtomically(path("folder"), "x"), std::optional<std::string>("is a folder"));
    std::optional<std::string> missing = writeFileAtomically(path("no/such/r.txt"), "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing, "No such file or directory");
    EXPECT_EQ(names().size(), 2u) << "a temporary file was left behind";
    EXPECT_TRUE(fs::is_empty(path("folder")));
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
