// Text handed to a console a piece at a time: a character is never cut between two writes.
#include <gtest/gtest.h>

#include "text/utf8.h"

namespace moravel {
namespace {

TEST(CompleteUtf8Length, HoldsBackOnlyACharacterStillToCome) {
    const std::string arrow = "\xE2\x86\x92";            // →, three bytes
    const std::string smile = "\xF0\x9F\x98\x80";        // U+1F600, four bytes
    EXPECT_EQ(completeUtf8Length(""), 0u);
    EXPECT_EQ(completeUtf8Length("a \xC3\xA9"), 4u);      // whole: a, blank, é
    EXPECT_EQ(completeUtf8Length("a" + arrow), 4u);
    EXPECT_EQ(completeUtf8Length("a" + smile), 5u);
    for (std::size_t cut = 1; cut < arrow.size(); ++cut)
        EXPECT_EQ(completeUtf8Length("ab" + arrow.substr(0, cut)), 2u) << cut;
    for (std::size_t cut = 1; cut < smile.size(); ++cut)
        EXPECT_EQ(completeUtf8Length("ab" + smile.substr(0, cut)), 2u) << cut;
}

// What cannot become a character is passed on at once, for the console to replace: waiting
// for more bytes would hold it back for ever.
TEST(CompleteUtf8Length, PassesOnWhatNoMoreBytesCouldComplete) {
    EXPECT_EQ(completeUtf8Length("a\xFF"), 2u);             // no character begins with 0xFF
    EXPECT_EQ(completeUtf8Length("a\xC0"), 2u);             // nor with 0xC0 (overlong)
    EXPECT_EQ(completeUtf8Length("a\x80\x80\x80"), 4u);     // continuation bytes without a lead
    EXPECT_EQ(completeUtf8Length("\xC3\xA9\xA9"), 3u);      // one continuation byte too many
}

}  // namespace
}  // namespace moravel
