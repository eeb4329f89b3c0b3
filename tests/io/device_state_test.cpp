// The device id kept where the service runs: what is kept is read back, what is not one is not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "io/device_state.h"

namespace moravel {
namespace {

struct StateFolder : ::testing::Test {
    StateFolder() { std::filesystem::create_directories(folder); }
    ~StateFolder() override { std::filesystem::remove_all(folder); }
    void write(const std::string& text) { std::ofstream(folder / "device-id", std::ios::binary) << text; }
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("moravel-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(StateFolder, KeptIdsReadBackAndOthersReadAsNone) {
    EXPECT_EQ(keptDeviceId(folder.string()), std::nullopt);
    EXPECT_EQ(keepDeviceId(folder.string(), "pc-01-2011-02-03-04-05-06"), std::nullopt);
    EXPECT_EQ(keptDeviceId(folder.string()), std::optional<std::string>("pc-01-2011-02-03-04-05-06"));
    write("pc-01-2011-02-03-04-05-06\r\n");
    EXPECT_EQ(keptDeviceId(folder.string()), std::optional<std::string>("pc-01-2011-02-03-04-05-06"));
    for (const std::string& bad : {std::string(), std::string("\n"), std::string("a\x01z\n"), std::string(5000, 'x')}) {
        write(bad);
        EXPECT_EQ(keptDeviceId(folder.string()), std::nullopt) << bad.size();
    }
    EXPECT_NE(keepDeviceId((folder / "missing").string(), "x"), std::nullopt);
}

#ifndef _WIN32
TEST_F(StateFolder, TheServicesFolderWhenItMayBeWrittenElseNone) {
    const char* before = std::getenv("STATE_DIRECTORY");
    std::string saved = before ? before : "";
    ::setenv("STATE_DIRECTORY", (folder.string() + ":/elsewhere").c_str(), 1);
    EXPECT_EQ(stateDirectory(), std::optional<std::string>(folder.string()));
    ::setenv("STATE_DIRECTORY", (folder / "missing").c_str(), 1);
    EXPECT_EQ(stateDirectory(), std::nullopt);
    if (before)
        ::setenv("STATE_DIRECTORY", saved.c_str(), 1);
    else
        ::unsetenv("STATE_DIRECTORY");
}
#endif

}  // namespace
}  // namespace moravel
