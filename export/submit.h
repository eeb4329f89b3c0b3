// Sending the inventory to an inventory server the way that server's own agents do.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "export/export_common.h"
#include "inventory/inventory.h"
#include "io/http.h"

namespace moravel {

enum class ServerKind { Ocs, Glpi };

// OCS Inventory NG's communication server (".../ocsinventory") or GLPI's inventory entry point
// (".../front/inventory.php", or the older plugin paths); nothing for any other URL.
std::optional<ServerKind> serverKindOf(const std::string& url);

// OCS: PROLOG, then INVENTORY, zlib-compressed, each reply read and checked. GLPI: the JSON
// document, its reply checked. Both within `budget`. Empty on success, else "STEP: reason".
std::string submitInventory(const Inventory& inventory, const ExportOptions& options, const std::string& url,
                            HttpClient& http, std::chrono::milliseconds budget);

}  // namespace moravel
