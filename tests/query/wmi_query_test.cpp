#include <gtest/gtest.h>

#include "query/wmi_query.h"

TEST(SplitWords, DropsEveryKindOfWhitespace) {
    EXPECT_EQ(moravel::splitWords("  one   two\tthree "),
              (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(moravel::splitWords("").empty());
    EXPECT_TRUE(moravel::splitWords(" \t\n\v\f\r").empty());
}
