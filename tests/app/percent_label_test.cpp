// The wait window's percent labels: no display needed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/wait_window.h"

namespace moravel {
namespace {

TEST(PercentLabel, OtherFractionsHaveNone) {
    for (float f : {0.0f, 0.33f, 0.15f, 0.99f, 1.1f, -0.25f, 0.2500001f}) EXPECT_EQ(percentLabel(f), nullptr) << f;
}

TEST(PercentLabel, FractionsAreComparedInSinglePrecision) {
    // 0.1 as a double narrows to the table's 0.1f; the double itself never reaches the table.
    EXPECT_STREQ(percentLabel(static_cast<float>(0.1)), "10 %");
    EXPECT_STREQ(percentLabel(static_cast<float>(0.7)), "70 %");
}

TEST(PercentLabel, TextsAreDigitsBlankPercentAndStayPut) {
    const char* first = percentLabel(1.0f);
    EXPECT_EQ(first, percentLabel(1.0f));  // the same static text, not a fresh copy
    for (float f : {0.1f, 0.25f, 0.5f, 1.0f}) {
        std::string label = percentLabel(f);
        ASSERT_GE(label.size(), 3u);
        EXPECT_EQ(label.substr(label.size() - 2), " %") << label;
        EXPECT_EQ(label.find_first_not_of("0123456789"), label.size() - 2) << label;
    }
}

}  // namespace
}  // namespace moravel
