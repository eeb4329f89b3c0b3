// What the GLPI and OCS writers share: the device id servers key a machine by, and units.
#pragma once

#include <string>

#include "inventory/inventory.h"
#include "text/utf8.h"

namespace moravel {

struct ExportOptions {
    std::string tag;  // the server's tag for this machine (OCS account info TAG, GLPI "tag")
    // The device id this machine was last sent under, when it was another (a rename): OCS then
    // carries the machine's record over to the new id rather than starting a second one.
    std::string oldDeviceId = {};
};

// "<host name>-yyyy-mm-dd-HH-MM-SS", the form the agents of both servers use and OCS insists on.
// The stamp is not a time: it is made from the machine's stable id (MachineGuid or machine-id,
// else the UUID, the serial number, the name), so every inventory of one machine, live or from a
// snapshot, names the same device and updates it.
std::string inventoryDeviceId(const Inventory& inventory);

// "Moravel-<version>": the client version servers record.
std::string versionClient();

// Bytes as whole mebibytes, as both formats count memory, disks and file systems.
Number mebibytes(Number bytes);

// The short name of the operating system: "Windows", else the first word of its full name.
std::string osShortName(const OperatingSystemInfo& os);

// A processor's speed as both formats give it: its most, else its current clock.
Number processorSpeed(const Processor& cpu);

// When a monitor was made, as both formats describe it: "week/year", the year alone, or nothing.
std::string madeText(const Monitor& monitor);

// "+0200" for 120 minutes east.
std::string utcOffsetText(int minutes);

// The network of an IPv6 address with its prefix length ("fe80::1c2b:3dff:fe4a:5b6c", 64 ->
// "fe80::") and the prefix as a mask (64 -> "ffff:ffff:ffff:ffff::"), written as RFC 5952 has it;
// empty when the address is not one (a zone index, "%12", is left aside).
std::string ipv6Subnet(const std::string& address, unsigned prefixLength);
std::string ipv6Mask(unsigned prefixLength);

// One entry of an adapter as both servers' agents write them: an IPv4 address with its mask,
// network, gateway and DHCP server, or an IPv6 address (link-local ones too) with its mask and
// network. IPv4 entries come first; an adapter without an address is one entry with none.
struct AddressEntry {
    bool ipv6 = false;
    std::string address, mask, subnet, gateway, dhcpServer;
};
std::vector<AddressEntry> addressEntries(const NetworkAdapter& adapter);

// The DNS servers of every adapter, each once, in the order first met, separated by "/" as both
// formats keep them.
std::string dnsServers(const Inventory& inventory);

// The first IPv4 address of every adapter's gateways or addresses, as the formats' one-value
// fields want them; "" when there is none.
std::string firstIpv4Gateway(const Inventory& inventory);
std::string firstIpv4Address(const Inventory& inventory);

}  // namespace moravel
