// What Win32_NetworkAdapterConfiguration adds to an interface: its default gateways from the
// kernel's routing tables and the DHCP server of its lease (systemd-networkd, NetworkManager or
// dhclient, whichever keeps one). The parsers take the files' text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "providers/linux/system/root_fs.h"

namespace moravel::lx {

// The gateways of the default routes through `interface` in /proc/net/route and
// /proc/net/ipv6_route texts, IPv4 first.
std::vector<std::string> defaultGateways(const std::string& route, const std::string& ipv6Route,
                                         const std::string& interface);

struct DhcpLease {
    std::string server;  // empty when the lease does not name it
};

// The lease of the interface (index and name), if one of the DHCP clients keeps one.
std::optional<DhcpLease> dhcpLease(const RootFs& fs, unsigned index, const std::string& interface);

}  // namespace moravel::lx
