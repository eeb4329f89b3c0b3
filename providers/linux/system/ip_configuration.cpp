#include "providers/linux/system/ip_configuration.h"

#include <arpa/inet.h>

#include <sstream>

namespace moravel::lx {
namespace {

constexpr unsigned long kGatewayFlag = 0x2;  // RTF_GATEWAY

std::string ipv4Text(unsigned long littleEndian) {
    in_addr address{};
    address.s_addr = static_cast<in_addr_t>(littleEndian);  // the table holds network order, read as host order
    char text[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::optional<std::string> ipv6Text(const std::string& hex) {
    if (hex.size() != 32 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
    in6_addr address{};
    for (int i = 0; i < 16; ++i)
        address.s6_addr[i] = static_cast<unsigned char>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    char text[INET6_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET6, &address, text, sizeof text);
    return std::string(text);
}

// "KEY=value" files (systemd-networkd, NetworkManager's internal client).
std::optional<std::string> keyValue(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, key.size() + 1, key + "=") == 0) return trim(line.substr(key.size() + 1));
    return std::nullopt;
}

// dhclient's lease blocks: the server of the last lease of the interface.
std::optional<DhcpLease> dhclientLease(const std::string& text, const std::string& interface) {
    std::optional<DhcpLease> lease;
    std::istringstream blocks(text);
    std::string block;
    while (std::getline(blocks, block, '}')) {
        if (block.find("interface \"" + interface + "\";") == std::string::npos) continue;
        DhcpLease found;
        std::size_t at = block.find("dhcp-server-identifier ");
        if (at != std::string::npos) found.server = trim(block.substr(at + 23, block.find(';', at) - at - 23));
        lease = found;
    }
    return lease;
}

}  // namespace

std::vector<std::string> defaultGateways(const std::string& route, const std::string& ipv6Route,
                                         const std::string& interface) {
    std::vector<std::string> gateways;
    std::istringstream v4(route);
    std::string line;
    std::getline(v4, line);  // the header
    while (std::getline(v4, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags;
        if (!(fields >> name >> destination >> gateway >> flags) || name != interface || destination != "00000000")
            continue;
        if (std::strtoul(flags.c_str(), nullptr, 16) & kGatewayFlag)
            gateways.push_back(ipv4Text(std::strtoul(gateway.c_str(), nullptr, 16)));
    }
    std::istringstream v6(ipv6Route);
    while (std::getline(v6, line)) {
        std::istringstream fields(line);
        std::string destination, length, source, sourceLength, nextHop, metric, references, uses, flags, name;
        if (!(fields >> destination >> length >> source >> sourceLength >> nextHop >> metric >> references >> uses >>
              flags >> name))
            continue;
        if (name != interface || length != "00" || destination.find_first_not_of('0') != std::string::npos) continue;
        std::optional<std::string> hop = ipv6Text(nextHop);
        if (hop && *hop != "::") gateways.push_back(*hop);
    }
    return gateways;
}

std::optional<DhcpLease> dhcpLease(const RootFs& fs, unsigned index, const std::string& interface) {
    if (std::optional<std::string> networkd = fs.read("/run/systemd/netif/leases/" + std::to_string(index)))
        return DhcpLease{keyValue(*networkd, "SERVER_ADDRESS").value_or("")};
    for (const std::string& file : fs.list("/var/lib/NetworkManager")) {
        std::string suffix = "-" + interface + ".lease";
        if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::optional<std::string> text = fs.read("/var/lib/NetworkManager/" + file);
        if (!text) continue;
        if (file.compare(0, 9, "internal-") == 0) return DhcpLease{keyValue(*text, "SERVER_ADDRESS").value_or("")};
        if (std::optional<DhcpLease> lease = dhclientLease(*text, interface)) return lease;
    }
    for (const std::string& file : fs.list("/var/lib/dhcp")) {
        std::optional<std::string> text =
            file.find(".lease") != std::string::npos ? fs.read("/var/lib/dhcp/" + file) : std::nullopt;
        if (std::optional<DhcpLease> lease = text ? dhclientLease(*text, interface) : std::nullopt) return lease;
    }
    return std::nullopt;
}

}  // namespace moravel::lx
