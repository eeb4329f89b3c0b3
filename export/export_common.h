// What the GLPI and OCS writers share: the device id servers key a machine by, and units.
#pragma once

#include <string>

#include "inventory/inventory.h"
#include "text/utf8.h"

namespace moravel {

struct ExportOptions {
    std::string tag;  // the server's tag for this machine (OCS account info TAG, GLPI "tag")
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

// "+0200" for 120 minutes east.
std::string utcOffsetText(int minutes);

// The subnet of an IPv4 address and mask ("192.168.1.20", "255.255.255.0" -> "192.168.1.0");
// empty when either is not a dotted quad.
std::string ipv4Subnet(const std::string& address, const std::string& mask);

// The first IPv4 address of a list ("" when it holds none), and of every adapter's gateways or
// addresses, as the formats' one-value fields want them.
std::string firstIpv4(const std::vector<std::string>& addresses);
std::string firstIpv4Gateway(const Inventory& inventory);
std::string firstIpv4Address(const Inventory& inventory);

}  // namespace moravel
