#include "query/linux/network_interfaces.h"

#include <algorithm>
#include <cstdio>

namespace moravel::lx {
namespace {
constexpr unsigned kLoopback = 772;
}

std::optional<HardwareAddress> parseHardwareAddress(const std::string& text) {
    unsigned b[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5],
                    &tail) != 6)
        return std::nullopt;
    HardwareAddress address;
    for (int i = 0; i < 6; ++i) address[i] = static_cast<std::uint8_t>(b[i]);
    if (std::all_of(address.begin(), address.end(), [](std::uint8_t x) { return x == 0; }))
        return std::nullopt;  // tunnels and the like report zeros
    return address;
}

std::vector<NetworkInterface> listInterfaces(const RootFs& fs, InterfaceOrder order) {
    std::vector<NetworkInterface> interfaces;
    for (const std::string& name : fs.list("/sys/class/net")) {
        RootDir dir = fs.directory("/sys/class/net/" + name);
        NetworkInterface interface;
        interface.name = name;
        interface.type = static_cast<unsigned>(dir.number("type").value_or(0));
        if (interface.type == kLoopback) continue;
        std::optional<std::uint64_t> index = dir.number("ifindex");
        if (!index) continue;  // not an interface (bonding_masters and the like)
        interface.index = static_cast<unsigned>(*index);
        interface.physical = dir.exists("device");
        if (std::optional<std::string> address = dir.line("address"))
            interface.hardwareAddress = parseHardwareAddress(*address);
        interfaces.push_back(interface);
    }
    std::stable_sort(interfaces.begin(), interfaces.end(), [order](const NetworkInterface& a, const NetworkInterface& b) {
        if (order == InterfaceOrder::PhysicalFirst && a.physical != b.physical) return a.physical;
        return a.index < b.index;
    });
    return interfaces;
}

}  // namespace moravel::lx
