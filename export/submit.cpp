#include "export/submit.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "export/zlib_data.h"
#include "text/utf8.h"
#include "moravel_version.h"

namespace moravel {
namespace {

using Clock = std::chrono::steady_clock;

// The URL without its query, fragment and a last slash.
std::string urlPath(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    return endsWith(path, "/") ? path.substr(0, path.size() - 1) : path;
}

// A short excerpt of a reply that is not what was expected, on one line.
std::string excerpt(const std::string& body) {
    std::string text;
    for (char c : body.substr(0, 60))
        text += static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F ? '.' : c;
    return text.empty() ? "an empty reply" : "'" + text + (body.size() > 60 ? "...'" : "'");
}

// The HTTP failure of a reply, or empty when it is a 200 with a body.
std::string httpProblem(const HttpReply& reply) {
    if (reply.status == 0) return reply.failure;
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

// An OCS reply is a zlib stream of <REPLY>...</REPLY>; its RESPONSE says what the server did.
std::string ocsExchange(HttpClient& http, const std::string& url, const std::string& xml, Clock::time_point deadline,
                        std::optional<std::string>& response) {
    HttpReply reply = http.post(url, "application/x-compress", ocsUserAgent(), zlibCompress(xml), deadline);
    if (std::string problem = httpProblem(reply); !problem.empty()) return problem;
    std::optional<std::string> text = zlibInflate(reply.body, kMaxReplyBytes);
    if (!text || text->find("<REPLY>") == std::string::npos)
        return "the reply is not an OCS Inventory reply (" + excerpt(text ? *text : reply.body) + ")";
    response = element(*text, "RESPONSE");
    return {};
}

std::string submitToOcs(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                        HttpClient& http, Clock::time_point deadline) {
    std::optional<std::string> response;
    if (std::string problem = ocsExchange(http, url, ocsPrologXml(inventory), deadline, response); !problem.empty())
        return "PROLOG: " + problem;
    // The inventory goes whatever the PROLOG said about the server's own schedule: it was asked for.
    if (std::string problem = ocsExchange(http, url, ocsInventoryXml(inventory, options), deadline, response);
        !problem.empty())
        return "INVENTORY: " + problem;
    if (response != std::string("ACCOUNT_UPDATE") && response != std::string("NO_ACCOUNT_UPDATE"))
        return "INVENTORY: the server did not take the inventory (RESPONSE " + response.value_or("missing") + ")";
    return {};
}

// GLPI answers {"status":"ok", ...}, or an error status with a message.
std::string submitToGlpi(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                         HttpClient& http, Clock::time_point deadline) {
    HttpReply reply =
        http.post(url, "application/json", "Moravel/" MORAVEL_VERSION, glpiInventoryJson(inventory, options), deadline);
    nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
    bool object = answer.is_object();
    std::string message =
        object && answer.value("message", nlohmann::json()).is_string() ? answer["message"].get<std::string>() : "";
    if (reply.status != 0 && reply.status != 200 && !message.empty())
        return "inventory: the server answered HTTP " + std::to_string(reply.status) + ": " + excerpt(message);
    if (std::string problem = httpProblem(reply); !problem.empty()) return "inventory: " + problem;
    if (!object || !answer.contains("status"))
        return "inventory: the reply is not a GLPI inventory reply (" + excerpt(reply.body) + ")";
    if (answer["status"] != "ok") return "inventory: the server refused the inventory (" + excerpt(message) + ")";
    return {};
}

}  // namespace

std::optional<ServerKind> serverKindOf(const std::string& url) {
    // Schemes ignore case (RFC 3986): "HTTP://" is as good as "http://".
    std::string scheme = url.substr(0, url.find("://"));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (url.find("://") == std::string::npos || (scheme != "http" && scheme != "https")) return std::nullopt;
    std::string path = urlPath(url);
    if (endsWith(path, "/ocsinventory")) return ServerKind::Ocs;
    for (const char* glpi :
         {"/front/inventory.php", "/marketplace/glpiinventory", "/plugins/glpiinventory", "/plugins/fusioninventory"})
        if (endsWith(path, glpi)) return ServerKind::Glpi;
    return std::nullopt;
}

// The agent OCS's server knows for this platform, then ours.
#ifdef _WIN32
std::string ocsUserAgent() { return "OCS-NG_WINDOWS_AGENT_v2.0 Moravel/" MORAVEL_VERSION; }
#else
std::string ocsUserAgent() { return "OCS-NG_unified_unix_agent_v2.0 Moravel/" MORAVEL_VERSION; }
#endif

std::string submitInventory(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                            HttpClient& http, std::chrono::milliseconds budget) {
    Clock::time_point deadline = Clock::now() + budget;
    std::optional<ServerKind> kind = serverKindOf(url);
    if (kind == ServerKind::Ocs) return submitToOcs(inventory, options, url, http, deadline);
    if (kind == ServerKind::Glpi) return submitToGlpi(inventory, options, url, http, deadline);
    return "not the address of an OCS or GLPI inventory server";
}

}  // namespace moravel
