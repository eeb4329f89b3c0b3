#include "inventory/read_inventory.h"

#include <algorithm>

#include "inventory/inventory_parts.h"
#include "inventory/kinds.h"
#include "query/wmi_query.h"

namespace moravel {

const char* diskBusName(DiskBus bus) {
    switch (bus) {
    case DiskBus::Nvme: return "NVMe";
    case DiskBus::Sata: return "SATA";
    case DiskBus::Usb: return "USB";
    case DiskBus::Scsi: return "SCSI";
    case DiskBus::Ide: return "IDE";
    case DiskBus::Virtual: return "Virtual";
    case DiskBus::Unknown: break;
    }
    return "";
}

std::vector<std::string> dnsServerList(const Inventory& inventory) {
    std::vector<std::string> servers;
    for (const NetworkAdapter& adapter : inventory.networkAdapters)
        for (const std::string& server : adapter.dnsServers)
            if (!server.empty() && std::find(servers.begin(), servers.end(), server) == servers.end())
                servers.push_back(server);
    return servers;
}

Inventory readInventory(WmiProvider* provider, SystemProbes* probes) {
    ClassSource source(provider, probes);
    Inventory inventory;
    for (const InventoryKindInfo& kind : inventoryKinds()) kind.read(source, inventory);
    return inventory;
}

namespace parts {

std::string firstOf(std::initializer_list<std::string> texts) {
    for (const std::string& text : texts)
        if (!text.empty()) return text;
    return {};
}

}  // namespace parts
}  // namespace moravel
