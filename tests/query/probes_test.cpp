#include <gtest/gtest.h>

#include "query/probes.h"
#include "tests/support/fake_backend.h"

using moravel::HardwareAddress;
using moravel::testing::FakeProbes;

namespace {

class Probes : public ::testing::Test {
protected:
    // The address whose six bytes all equal `byte`.
    static HardwareAddress filled(std::uint8_t byte) { return {byte, byte, byte, byte, byte, byte}; }
    FakeProbes probes;
};

TEST_F(Probes, AvailableMemoryIsInWholeMebibytes) {
    const std::pair<std::uint64_t, const char*> rows[] = {
        {5ull << 30, "5120 MB"},
        {1048575, "0 MB"},
        {1048576, "1 MB"},
        {(2048ull << 20) + 1048575, "2048 MB"},
        {0, "0 MB"},
        {~0ull, "2147483647 MB"},  // held at the largest count "%d" shows, never negative
    };
    for (const auto& [bytes, text] : rows) {
        probes.memory.availPhys = bytes;
        EXPECT_EQ(moravel::readMemoryStatus(&probes).available, text) << bytes;
    }
}

TEST_F(Probes, MemoryLoadIsAPlainPercentage) {
    for (const auto& [load, text] : {std::pair<std::uint32_t, const char*>{7, "7%"}, {0, "0%"}, {100, "100%"}}) {
        probes.memory.memoryLoad = load;
        EXPECT_EQ(moravel::readMemoryStatus(&probes).load, text);
    }
}

TEST_F(Probes, UnreadableMemoryStatusReadsAsNothing) {
    probes.memory = {45, 2048ull << 20};
    probes.readable = false;
    moravel::MemoryTexts texts = moravel::readMemoryStatus(&probes);
    EXPECT_EQ(texts.available, "0 MB");
    EXPECT_EQ(texts.load, "0%");
}

TEST_F(Probes, AddressIsUpperCaseHexPairs) {
    probes.adapters = {{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}};
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "0A-0B-0C-0D-0E-0F");
    probes.adapters = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF}};
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "00-1A-2B-3C-4D-FF");
}

TEST_F(Probes, TheLastAdapterInTheListWins) {
    probes.adapters = {filled(1), filled(2), filled(3)};
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "03-03-03-03-03-03");
}

TEST_F(Probes, NoAddressWithoutAListThatFitsTheBuffer) {
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "");
    for (std::uint8_t i = 1; i <= 16; ++i) probes.adapters.push_back(filled(i));
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "10-10-10-10-10-10");
    probes.adapters.push_back(filled(17));
    EXPECT_EQ(moravel::readAdapterAddress(&probes), "");
}

TEST(ProbesUnset, ReadAsNothing) {
    EXPECT_EQ(moravel::readMemoryStatus(nullptr).available, "0 MB");
    EXPECT_EQ(moravel::readAdapterAddress(nullptr), "");
}

}  // namespace
