// The inventory as OCS Inventory NG's agents send it: the XML inventory request with the
// section and field names of the OCS/FusionInventory format, and the PROLOG that precedes it.
#pragma once

#include <string>

#include "export/export_common.h"
#include "inventory/inventory.h"
#include "inventory/kinds.h"

namespace moravel {

// <REQUEST><CONTENT>...</CONTENT><DEVICEID>...</DEVICEID><QUERY>INVENTORY</QUERY></REQUEST>.
// Only known values are written (an empty element would reach the server's database as text
// that is not a value), numbers where the database keeps numbers, texts cut to its column widths.
std::string ocsInventoryXml(const Inventory& inventory, const ExportOptions& options = {});

// The PROLOG request an agent sends first, asking whether the server wants an inventory.
std::string ocsPrologXml(const Inventory& inventory);

// How the request holds each kind of the inventory.
std::vector<KindCoverage> ocsKindCoverage();

}  // namespace moravel
