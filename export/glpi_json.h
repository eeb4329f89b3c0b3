// The inventory as one GLPI native inventory document (glpi-project/inventory_format's JSON).
#pragma once

#include <string>

#include "export/export_common.h"
#include "inventory/inventory.h"
#include "inventory/kinds.h"

namespace moravel {

// The document, pretty-printed, ending with a line end. Only what is known is written, each
// value with the type the format's schema gives it.
std::string glpiInventoryJson(const Inventory& inventory, const ExportOptions& options = {});

// How the document holds each kind of the inventory.
std::vector<KindCoverage> glpiKindCoverage();

}  // namespace moravel
