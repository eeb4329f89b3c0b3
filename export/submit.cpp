#include "export/submit.h"

#include <algorithm>
#include <cctype>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "export/server_replies.h"
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

// The User-Agent sent to an OCS server: its communication server answers a PROLOG only from the
// agent names it knows, so Moravel says it speaks the agent's protocol of this platform and adds
// its own name.
#ifdef _WIN32
std::string ocsUserAgent() { return "OCS-NG_WINDOWS_AGENT_v2.0 Moravel/" MORAVEL_VERSION; }
#else
std::string ocsUserAgent() { return "OCS-NG_unified_unix_agent_v2.0 Moravel/" MORAVEL_VERSION; }
#endif

// One request and its reply, read as an OCS agent reads it.
std::string ocsExchange(HttpClient& http, const std::string& url, const std::string& xml, Clock::time_point deadline,
                        std::optional<std::string>& response) {
    OcsReply reply = readOcsReply(http.post(url, "application/x-compress", ocsUserAgent(), zlibCompress(xml), deadline));
    response = reply.response;
    return reply.problem;
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
        return "INVENTORY: the server did not take the inventory (" +
               (response ? "RESPONSE " + quotedExcerpt(*response) : std::string("no RESPONSE")) + ")";
    return {};
}

std::string submitToGlpi(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                         HttpClient& http, Clock::time_point deadline) {
    std::string problem = readGlpiReply(
        http.post(url, "application/json", "Moravel/" MORAVEL_VERSION, glpiInventoryJson(inventory, options), deadline));
    return problem.empty() ? problem : "inventory: " + problem;
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

std::string submitInventory(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                            HttpClient& http, std::chrono::milliseconds budget) {
    Clock::time_point deadline = Clock::now() + budget;
    std::optional<ServerKind> kind = serverKindOf(url);
    if (kind == ServerKind::Ocs) return submitToOcs(inventory, options, url, http, deadline);
    if (kind == ServerKind::Glpi) return submitToGlpi(inventory, options, url, http, deadline);
    return "not the address of an OCS or GLPI inventory server";
}

}  // namespace moravel
