// Network adapters: the device (Win32_NetworkAdapter), its addresses (the configuration of the
// same Index) and its physical medium (MSFT_NetAdapter of the same InterfaceIndex).
#include <cstdlib>
#include <limits>

#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

constexpr std::uint64_t kNdisWirelessLan = 1, kNdisNative80211 = 9, kNdis8023 = 14;
constexpr std::uint64_t kConnected = 2, kMediaDisconnected = 7;

std::string numberText(Number value) { return value ? std::to_string(*value) : std::string(); }

// The configuration and the medium of an adapter, found by its Index and InterfaceIndex.
std::string byIndex(const WmiRow& row) { return numberText(row.number("Index")); }
std::string byInterfaceIndex(const WmiRow& row) { return numberText(row.number("InterfaceIndex")); }

// Without the physical medium (Windows 7, Wine), a wireless adapter still names itself so.
bool namedWireless(const std::string& name) {
    std::string text = upper(name);
    for (const char* word : {"WI-FI", "WIRELESS", "WLAN", "802.11"})
        if (text.find(word) != std::string::npos) return true;
    return false;
}

AdapterKind kindOf(const WmiRow& adapter, const WmiRow* medium, const std::string& names) {
    Number physical = medium ? medium->number("NdisPhysicalMedium") : std::nullopt;
    if (physical == kNdisWirelessLan || physical == kNdisNative80211) return AdapterKind::Wifi;
    if (physical == kNdis8023) return AdapterKind::Ethernet;
    if (!physical && namedWireless(names)) return AdapterKind::Wifi;
    if (adapter.text("AdapterType") == "Ethernet 802.3") return AdapterKind::Ethernet;
    return adapter.text("AdapterType").empty() ? AdapterKind::Unknown : AdapterKind::Other;
}

bool isVirtual(const WmiRow& adapter, const WmiRow* medium) {
    if (medium) {
        if (Flag flag = medium->flag("Virtual"); flag && *flag) return true;
        if (Flag hardware = medium->flag("HardwareInterface")) return !*hardware;
    }
    Flag physical = adapter.flag("PhysicalAdapter");
    return physical && !*physical;
}

// IPSubnet holds an IPv6 address's prefix length ("64") at the address's place.
unsigned prefixLength(const std::string& text) {
    char* end = nullptr;
    unsigned long length = std::strtoul(text.c_str(), &end, 10);
    return text.empty() || *end != '\0' || length > 128 ? 64 : static_cast<unsigned>(length);
}

void addAddresses(const WmiRow& configuration, NetworkAdapter& adapter) {
    std::vector<std::string> addresses = configuration.list("IPAddress");
    std::vector<std::string> masks = configuration.list("IPSubnet");
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (addresses[i].find(':') != std::string::npos) {
            adapter.ipv6.push_back(addresses[i]);
            adapter.ipv6Prefixes.push_back(prefixLength(i < masks.size() ? masks[i] : std::string()));
        } else if (!addresses[i].empty()) {
            adapter.ipv4.push_back(addresses[i]);
            adapter.ipv4Masks.push_back(i < masks.size() ? masks[i] : std::string());
        }
    }
    adapter.gateways = configuration.list("DefaultIPGateway");
    adapter.dhcp = configuration.flag("DHCPEnabled");
    adapter.dhcpServer = configuration.text("DHCPServer");
    adapter.dnsServers = configuration.list("DNSServerSearchOrder");
}

// Windows lists hidden miniports too; an adapter counts when it is a connection the user sees
// or real hardware. A source that does not say (an older snapshot) lists those with an address.
bool worthListing(const WmiRow& adapter) {
    Flag physical = adapter.flag("PhysicalAdapter");
    return !adapter.text("NetConnectionID").empty() || physical.value_or(false) ||
           (!physical && !adapter.text("MACAddress").empty());
}

}  // namespace

void readNetworkAdapters(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_NetworkAdapter")) {
        if (!worthListing(row)) continue;
        NetworkAdapter& adapter = inventory.networkAdapters.emplace_back();
        adapter.description = row.text("Name");
        adapter.name = firstOf({row.text("NetConnectionID"), adapter.description});
        adapter.manufacturer = row.text("Manufacturer");
        adapter.macAddress = row.text("MACAddress");
        const WmiRow* medium = source.find("MSFT_NetAdapter", byInterfaceIndex, byInterfaceIndex(row));
        adapter.kind = kindOf(row, medium, adapter.name + " " + adapter.description);
        adapter.virtualAdapter = isVirtual(row, medium);
        if (const WmiRow* configuration = source.find("Win32_NetworkAdapterConfiguration", byIndex, byIndex(row)))
            addAddresses(*configuration, adapter);
        Number status = row.number("NetConnectionStatus");
        if (status == kConnected) adapter.connected = true;
        if (status == kMediaDisconnected || status == 0u) adapter.connected = false;
        // A disconnected adapter reports the largest signed 64-bit number.
        Number speed = row.number("Speed");
        if (speed && *speed < static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            adapter.speedBitsPerSecond = speed;
    }
}

}  // namespace moravel::parts
