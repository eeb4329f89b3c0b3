// What servers answer, read as their agents read it: each reason names the reply truly and
// quotes at most a short excerpt of it on one line.
#include <gtest/gtest.h>

#include "export/server_replies.h"
#include "export/zlib_data.h"

namespace moravel {
namespace {

HttpReply reply(long status, std::string body) { return {status, std::move(body), {}}; }

TEST(ServerText, ExcerptsAreShortOneLineAndKeepUtf8) {
    EXPECT_EQ(quotedExcerpt("Ung\xC3\xBCltiges Inventar"), "'Ung\xC3\xBCltiges Inventar'");
    EXPECT_EQ(quotedExcerpt("a\nb\r\x7F\x01" "c"), "'a.b...c'");
    EXPECT_EQ(quotedExcerpt("\xFF\xC3"), "'\xEF\xBF\xBD\xEF\xBF\xBD'");  // bytes that begin no character
    const std::string long_(900000, 'x');
    EXPECT_EQ(quotedExcerpt(long_), "'" + std::string(kExcerptCharacters, 'x') + "...'");
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += "\xF0\x9F\x98\x80";  // U+1F600, four bytes each
    EXPECT_EQ(quotedExcerpt(wide), "'" + wide.substr(0, 4 * kExcerptCharacters) + "...'");
}

TEST(OcsReply, ResponseReadAndEveryOtherReplyNamed) {
    OcsReply taken = readOcsReply(reply(200, zlibCompress("<REPLY><RESPONSE>ACCOUNT_UPDATE</RESPONSE></REPLY>")));
    EXPECT_EQ(taken.problem, "");
    EXPECT_EQ(taken.response, "ACCOUNT_UPDATE");
    EXPECT_EQ(readOcsReply(reply(200, zlibCompress("<REPLY></REPLY>"))).response, std::nullopt);
    EXPECT_EQ(readOcsReply(reply(500, "boom")).problem, "the server answered HTTP 500");
    EXPECT_EQ(readOcsReply(reply(401, "")).problem, "the server answered HTTP 401: it wants a user name and password");
    EXPECT_EQ(readOcsReply({0, "", "no reply within the time allowed"}).problem, "no reply within the time allowed");
    EXPECT_EQ(readOcsReply(reply(200, "")).problem, "the reply is not an OCS Inventory reply (an empty reply)");
    EXPECT_EQ(readOcsReply(reply(200, zlibCompress("<html>\nmaintenance</html>"))).problem,
              "the reply is not an OCS Inventory reply ('<html>.maintenance</html>')");
    // A reply that inflates beyond the cap says so, and quotes none of its compressed bytes.
    EXPECT_EQ(readOcsReply(reply(200, zlibCompress(std::string(kMaxReplyBytes + 1, ' ')))).problem,
              "the reply inflates to more than 1 MiB");
}

TEST(GlpiReply, EachAnswerNamedAsItIs) {
    EXPECT_EQ(readGlpiReply(reply(200, R"({"status":"ok","expiration":24})")), "");
    EXPECT_EQ(readGlpiReply(reply(200, R"({"status":1})")), "the server refused the inventory (status '1')");
    EXPECT_EQ(readGlpiReply(reply(200, R"({"status":"error","message":"Unknown \u00e9l\u00e9ment"})")),
              "the server refused the inventory ('Unknown \xC3\xA9l\xC3\xA9ment')");
    EXPECT_EQ(readGlpiReply(reply(400, R"({"status":"error","message":"JSON does not validate"})")),
              "the server answered HTTP 400: 'JSON does not validate'");
    EXPECT_EQ(readGlpiReply(reply(400, R"({"status":"error","message":""})")), "the server answered HTTP 400");
    EXPECT_EQ(readGlpiReply(reply(200, "")), "the reply is not a GLPI inventory reply (an empty reply)");
    EXPECT_EQ(readGlpiReply(reply(200, "[1]")), "the reply is not a GLPI inventory reply ('[1]')");
    const std::string flood = R"({"status":"error","message":")" + std::string(900000, 'm') + "\"}";
    EXPECT_EQ(readGlpiReply(reply(200, flood)),
              "the server refused the inventory ('" + std::string(kExcerptCharacters, 'm') + "...')");
}

}  // namespace
}  // namespace moravel
