#include "providers/linux/system/network_interfaces.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if_arp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "io/fd.h"

namespace moravel::lx {
namespace {

// One RTM_NEWLINK message: the interface's index, type, name and a six-byte hardware address.
NetworkInterface linkOf(const nlmsghdr* message) {
    const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(message));
    NetworkInterface interface;
    interface.index = static_cast<unsigned>(info->ifi_index);
    interface.type = info->ifi_type;
    long length = static_cast<long>(IFLA_PAYLOAD(message));
    for (const rtattr* a = IFLA_RTA(info); RTA_OK(a, length); a = RTA_NEXT(a, length)) {
        const char* data = static_cast<const char*>(RTA_DATA(a));
        if (a->rta_type == IFLA_IFNAME) {
            interface.name.assign(data, ::strnlen(data, RTA_PAYLOAD(a)));
        } else if (a->rta_type == IFLA_ADDRESS && RTA_PAYLOAD(a) == 6) {
            HardwareAddress address;
            std::memcpy(address.data(), data, address.size());
            if (std::any_of(address.begin(), address.end(), [](std::uint8_t x) { return x != 0; }))
                interface.hardwareAddress = address;
        }
    }
    return interface;
}

std::optional<HardwareAddress> parseHardwareAddress(const std::string& text) {
    unsigned b[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &tail) != 6)
        return std::nullopt;
    HardwareAddress address;
    for (int i = 0; i < 6; ++i) address[i] = static_cast<std::uint8_t>(b[i]);
    if (std::all_of(address.begin(), address.end(), [](std::uint8_t x) { return x == 0; }))
        return std::nullopt;  // tunnels and the like report zeros
    return address;
}

}  // namespace

std::vector<NetworkInterface> interfacesFromFiles(const RootFs& fs) {
    std::vector<NetworkInterface> interfaces;
    for (const std::string& name : fs.list("/sys/class/net")) {
        std::string dir = "/sys/class/net/" + name;
        NetworkInterface interface;
        interface.name = name;
        interface.type = static_cast<unsigned>(fs.number(dir + "/type").value_or(0));
        if (interface.type == ARPHRD_LOOPBACK) continue;
        std::optional<std::uint64_t> index = fs.number(dir + "/ifindex");
        if (!index) continue;  // not an interface (bonding_masters and the like)
        interface.index = static_cast<unsigned>(*index);
        interface.physical = fs.exists(dir + "/device");
        if (std::optional<std::string> address = fs.line(dir + "/address"))
            interface.hardwareAddress = parseHardwareAddress(*address);
        interfaces.push_back(interface);
    }
    return interfaces;
}

// One dump request and its replies: a few system calls where the files cost three or four
// opened files per interface, on every query. Whether a device backs an interface is not in
// the table, so that one fact still comes from sysfs.
std::optional<std::vector<NetworkInterface>> interfacesFromKernel(const RootFs& fs) {
    FdCloser socket{::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)};
    if (socket.fd < 0) return std::nullopt;
    struct {
        nlmsghdr header;
        ifinfomsg body;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.body.ifi_family = AF_UNSPEC;
    if (::send(socket.fd, &request, sizeof request, 0) != static_cast<ssize_t>(sizeof request)) return std::nullopt;
    std::vector<NetworkInterface> interfaces;
    alignas(nlmsghdr) char buffer[32 * 1024];
    for (;;) {
        long length = ::recv(socket.fd, buffer, sizeof buffer, 0);
        if (length <= 0) return std::nullopt;
        for (auto* message = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(message, length);
             message = NLMSG_NEXT(message, length)) {
            if (message->nlmsg_type == NLMSG_DONE) return interfaces;
            if (message->nlmsg_type == NLMSG_ERROR) return std::nullopt;
            if (message->nlmsg_type != RTM_NEWLINK) continue;
            NetworkInterface interface = linkOf(message);
            if (interface.type == ARPHRD_LOOPBACK || interface.name.empty()) continue;
            interface.physical = fs.exists("/sys/class/net/" + interface.name + "/device");
            interfaces.push_back(interface);
        }
    }
}

// The adapters are a device list, fixed for the process: asked once; their state and addresses
// are read per query by the classes.
std::vector<NetworkInterface> listInterfaces(const RootFs& fs, InterfaceOrder order) {
    std::vector<NetworkInterface> interfaces = *fs.keptWhile<std::vector<NetworkInterface>>("interfaces", "", [&] {
        std::optional<std::vector<NetworkInterface>> fromKernel = fs.isLive() ? interfacesFromKernel(fs) : std::nullopt;
        return fromKernel ? std::move(*fromKernel) : interfacesFromFiles(fs);
    });
    std::stable_sort(interfaces.begin(), interfaces.end(),
                     [order](const NetworkInterface& a, const NetworkInterface& b) {
                         if (order == InterfaceOrder::PhysicalFirst && a.physical != b.physical) return a.physical;
                         return a.index < b.index;
                     });
    return interfaces;
}

}  // namespace moravel::lx
