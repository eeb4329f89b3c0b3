// What an inventory server answers, as the submission reads it: an OCS reply (zlib inflated, then
// its REPLY and RESPONSE found) or a GLPI one (JSON). The first byte picks the server, and for OCS
// whether the rest is compressed first (so the XML behind the inflate is reached), the next two
// the HTTP status; the rest is the body. Whatever comes, each reason is one short line of UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/server_replies.h"
#include "export/zlib_data.h"
#include "text/utf8.h"

namespace {

// A line of a failure: UTF-8, no line break, short whatever the server sent.
void checkLine(const std::string& line) {
    if (line.size() > 400 || line.find_first_of("\r\n") != std::string::npos || moravel::validUtf8(line) != line)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t choice = data[0];
    moravel::HttpReply reply;
    reply.status = (data[1] << 8 | data[2]) % 600;  // 0: no reply came
    reply.body.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    if (reply.status == 0) reply.failure = "no reply within the time allowed";
    if (choice & 1) {
        checkLine(moravel::readGlpiReply(reply));
        return 0;
    }
    if (choice & 2) reply.body = moravel::zlibCompress(reply.body);
    const moravel::OcsReply ocs = moravel::readOcsReply(reply);
    checkLine(ocs.problem);
    if (ocs.response) checkLine(moravel::quotedExcerpt(*ocs.response));
    if (ocs.problem.empty() && reply.status != 200) std::abort();  // only a 200 is a reply
    return 0;
}
