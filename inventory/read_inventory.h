// The inventory pass: every class the inventory needs, each read once through the query layer
// (one query cycle per class, beside and apart from the window's 38 fields), into the model.
#pragma once

#include "inventory/inventory.h"
#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

// From `provider` and `probes` (either may be null: that source then gives nothing).
Inventory readInventory(WmiProvider* provider, SystemProbes* probes);

}  // namespace moravel
