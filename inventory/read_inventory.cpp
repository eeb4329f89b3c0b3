#include "inventory/read_inventory.h"

#include <algorithm>
#include <cctype>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"
#include "inventory/kinds.h"

namespace moravel {

const char* diskBusName(DiskBus bus) {
    const std::pair<DiskBus, const char*> kNames[] = {{DiskBus::Nvme, "NVMe"}, {DiskBus::Sata, "SATA"},
                                                      {DiskBus::Usb, "USB"},   {DiskBus::Scsi, "SCSI"},
                                                      {DiskBus::Ide, "IDE"},   {DiskBus::Virtual, "Virtual"}};
    return nameOf(kNames, bus);
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

std::string hexAfter(const std::string& text, const std::string& key, std::size_t digits) {
    std::size_t at = text.find(key);
    if (at == std::string::npos || text.size() < at + key.size() + digits) return {};
    std::string hex = text.substr(at + key.size(), digits);
    for (char& c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return hex;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace parts
}  // namespace moravel
