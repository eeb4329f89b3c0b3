#include "export/server_replies.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "export/zlib_data.h"
#include "text/utf8.h"

namespace moravel {
namespace {

std::string bodyExcerpt(const std::string& body) { return body.empty() ? "an empty reply" : quotedExcerpt(body); }

// The HTTP failure of a reply, or empty when it is a 200.
std::string httpProblem(const HttpReply& reply) {
    if (reply.status == 0) return reply.failure;
    if (reply.status == 401) return "the server answered HTTP 401: it wants a user name and password";
    if (reply.status != 200) return "the server answered HTTP " + std::to_string(reply.status);
    return {};
}

// The text of <TAG>...</TAG> in a reply; nothing when there is none.
std::optional<std::string> element(const std::string& xml, const std::string& tag) {
    std::size_t open = xml.find("<" + tag + ">");
    std::size_t close = open == std::string::npos ? open : xml.find("</" + tag + ">", open);
    if (close == std::string::npos) return std::nullopt;
    std::size_t begin = open + tag.size() + 2;
    return xml.substr(begin, close - begin);
}

}  // namespace

std::string quotedExcerpt(const std::string& text) {
    std::string shown;
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size() && characters < kExcerptCharacters; ++characters) {
        const Utf8Character character = decodeUtf8(text, at);
        if (character.length == 0)
            shown += "\xEF\xBF\xBD";
        else if (character.code < 0x20 || character.code == 0x7F)
            shown += '.';
        else
            shown.append(text, at, character.length);
        at += std::max<std::size_t>(character.length, 1);
    }
    return "'" + shown + (at < text.size() ? "...'" : "'");
}

OcsReply readOcsReply(const HttpReply& reply) {
    if (std::string problem = httpProblem(reply); !problem.empty()) return {problem, std::nullopt};
    Inflated text = zlibInflate(reply.body, kMaxReplyBytes);
    if (text.tooLarge) return {"the reply inflates to more than 1 MiB", std::nullopt};
    if (!text.data || text.data->find("<REPLY>") == std::string::npos)
        return {"the reply is not an OCS Inventory reply (" + bodyExcerpt(text.data ? *text.data : reply.body) + ")",
                std::nullopt};
    return {{}, element(*text.data, "RESPONSE")};
}

std::string readGlpiReply(const HttpReply& reply) {
    const nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
    const bool object = answer.is_object();
    const auto message = object ? answer.find("message") : answer.end();
    const bool said =
        object && message != answer.end() && message->is_string() && !message->get_ref<const std::string&>().empty();
    if (reply.status != 0 && reply.status != 200 && said)
        return "the server answered HTTP " + std::to_string(reply.status) + ": " + quotedExcerpt(*message);
    if (std::string problem = httpProblem(reply); !problem.empty()) return problem;
    if (!object || !answer.contains("status"))
        return "the reply is not a GLPI inventory reply (" + bodyExcerpt(reply.body) + ")";
    if (answer["status"] == "ok") return {};
    return "the server refused the inventory (" +
           (said ? quotedExcerpt(*message) : "status " + quotedExcerpt(answer["status"].dump())) + ")";
}

}  // namespace moravel
