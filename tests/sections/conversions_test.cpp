#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "sections/conversions.h"

using moravel::kPerGibi;
using moravel::kPerMebi;
using moravel::scaledRound;

namespace {
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
}  // namespace

TEST(ScaledRound, ParsesLikeAtof) {
    EXPECT_EQ(scaledRound("  2097152xyz", kPerMebi), 2);
    EXPECT_EQ(scaledRound("", kPerMebi), 0);
    EXPECT_EQ(scaledRound("Null", kPerMebi), 0);
    EXPECT_EQ(scaledRound("1.5e6", kPerMebi), 1);
    EXPECT_EQ(scaledRound("-1572864", kPerMebi), -2);  // halves away from zero below zero too
    EXPECT_EQ(scaledRound("-1572863", kPerMebi), -1);
}

TEST(ScaledRound, HalvesGoAwayFromZero) {
    EXPECT_EQ(scaledRound("1610612736", kPerGibi), 2);  // 1.5 GiB
    EXPECT_EQ(scaledRound("1610612735", kPerGibi), 2);  // narrowed to 1.5 GiB first
    EXPECT_EQ(scaledRound("1610612608", kPerGibi), 1);  // the float just below
    EXPECT_EQ(scaledRound("524288", kPerMebi), 1);
    EXPECT_EQ(scaledRound("524287", kPerMebi), 0);
}

TEST(ScaledRound, ValuesBeyondThe32BitRangeSaturate) {
    EXPECT_EQ(scaledRound("1e30", kPerMebi), kMax);
    EXPECT_EQ(scaledRound("-1e30", kPerMebi), kMin);
    EXPECT_EQ(scaledRound("1e300", kPerMebi), kMax);  // beyond single precision too
    EXPECT_EQ(scaledRound("inf", kPerMebi), kMax);
    EXPECT_EQ(scaledRound("-infinity", kPerGibi), kMin);
    EXPECT_EQ(scaledRound("nan", kPerMebi), 0);
    EXPECT_EQ(scaledRound("2251799812636672", kPerMebi), kMax);        // 2^31 MiB in bytes
    EXPECT_EQ(scaledRound("1125899906842624", kPerMebi), 1073741824);  // 2^30 MiB fits
}

TEST(LeadingInteger, ReadsLikeAtoiAndSaturates) {
    EXPECT_EQ(moravel::leadingInteger(" 42 MB"), 42);
    EXPECT_EQ(moravel::leadingInteger("-7"), -7);
    EXPECT_EQ(moravel::leadingInteger("x1"), 0);
    EXPECT_EQ(moravel::leadingInteger("4294967296"), kMax);
    EXPECT_EQ(moravel::leadingInteger("-99999999999999999999999"), kMin);
    EXPECT_EQ(moravel::decimal(kMin), "-2147483648");
}
