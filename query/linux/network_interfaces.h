// The network interfaces of /sys/class/net, shared by the two adapter classes and the probe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "query/linux/root_fs.h"
#include "query/probes.h"

namespace moravel::lx {

struct NetworkInterface {
    std::string name;  // "eth0"
    unsigned index = 0;
    unsigned type = 0;  // ARPHRD_*: 1 Ethernet (Wi-Fi included), 772 loopback
    bool physical = false;  // backed by a device (PCI, USB, ...), not made by software
    std::optional<HardwareAddress> hardwareAddress;  // absent for interfaces without one
};

enum class InterfaceOrder {
    ByIndex,         // as the kernel numbers them
    PhysicalFirst,   // devices before software interfaces (bridges, veth, tunnels), each by index
};

// Every interface but loopback.
std::vector<NetworkInterface> listInterfaces(const RootFs& fs, InterfaceOrder order);

std::optional<HardwareAddress> parseHardwareAddress(const std::string& text);

}  // namespace moravel::lx
