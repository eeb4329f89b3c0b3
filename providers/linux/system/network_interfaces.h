// The network interfaces of /sys/class/net, shared by the two adapter classes and the probe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "providers/linux/system/root_fs.h"
#include "query/probes.h"

namespace moravel::lx {

struct NetworkInterface {
    std::string name;  // "eth0"
    unsigned index = 0;
    unsigned type = 0;                               // ARPHRD_*: 1 Ethernet (Wi-Fi included), 772 loopback
    bool physical = false;                           // backed by a device (PCI, USB, ...), not made by software
    std::optional<HardwareAddress> hardwareAddress;  // absent for interfaces without one
};

enum class InterfaceOrder {
    ByIndex,        // as the kernel numbers them
    PhysicalFirst,  // devices before software interfaces (bridges, veth, tunnels), each by index
};

// Every interface but loopback: from the kernel's link table (rtnetlink) on the live system,
// else from the files of /sys/class/net.
std::vector<NetworkInterface> listInterfaces(const RootFs& fs, InterfaceOrder order);

// The two sources, each on its own; nothing when the kernel cannot be asked.
std::vector<NetworkInterface> interfacesFromFiles(const RootFs& fs);
std::optional<std::vector<NetworkInterface>> interfacesFromKernel(const RootFs& fs);

}  // namespace moravel::lx
