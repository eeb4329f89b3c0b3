// Win32_NetworkAdapter and Win32_NetworkAdapterConfiguration: the interfaces of /sys/class/net
// without loopback, devices before software interfaces, both classes in the same order.
#include <cstdio>

#include "providers/linux/parsers/accounts.h"
#include "providers/linux/system/ip_configuration.h"
#include "providers/linux/classes/readers.h"
#include "providers/linux/system/network_interfaces.h"

namespace moravel::lx {
namespace {

constexpr unsigned kEthernet = 1;  // ARPHRD_ETHER, which Wi-Fi uses too, as on Windows

std::optional<std::string> macAddress(const NetworkInterface& interface) {
    if (!interface.hardwareAddress) return std::nullopt;
    const HardwareAddress& a = *interface.hardwareAddress;
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return std::string(text);
}

std::optional<BusDevice> deviceOf(const RootFs& fs, const NetworkInterface& interface) {
    if (!interface.physical) return std::nullopt;
    return busDeviceOf(fs, "/sys/class/net/" + interface.name + "/device");
}

// The product name of the adapter's device; a software interface goes by its own name.
std::string adapterName(const LinuxContext& context, const NetworkInterface& interface) {
    std::optional<BusDevice> device = deviceOf(context.fs, interface);
    std::optional<std::string> product = device ? productName(context, *device) : std::nullopt;
    return product ? *product : interface.name;
}

std::optional<std::string> manufacturer(const LinuxContext& context, const NetworkInterface& interface) {
    std::optional<BusDevice> device = deviceOf(context.fs, interface);
    return device ? vendorName(context, *device) : std::nullopt;
}

bool isUp(const RootFs& fs, const NetworkInterface& interface) {
    return fs.line("/sys/class/net/" + interface.name + "/operstate") == std::optional<std::string>("up");
}

// The link speed in bits per second; nothing while the link is down or for Wi-Fi, where the
// kernel does not report one.
std::optional<std::uint64_t> speed(const RootFs& fs, const NetworkInterface& interface) {
    std::optional<std::string> text = fs.line("/sys/class/net/" + interface.name + "/speed");
    std::optional<std::uint64_t> megabits = text && (*text)[0] != '-' ? parseNumber(*text) : std::nullopt;
    if (!megabits || *megabits == 0 || *megabits > 10000000) return std::nullopt;
    return *megabits * 1000000;
}

// NetConnectionStatus: 2 connected, 7 media disconnected.
std::optional<std::uint64_t> connectionStatus(const RootFs& fs, const NetworkInterface& interface) {
    std::optional<std::string> state = fs.line("/sys/class/net/" + interface.name + "/operstate");
    if (state == std::optional<std::string>("up")) return 2;
    if (state == std::optional<std::string>("down") || state == std::optional<std::string>("lowerlayerdown") ||
        state == std::optional<std::string>("dormant"))
        return 7;
    return std::nullopt;
}

// The device instance path Windows would give the adapter.
std::string pnpDeviceId(const RootFs& fs, const NetworkInterface& interface) {
    std::optional<BusDevice> device = deviceOf(fs, interface);
    if (!device) return "ROOT\\NET\\" + interface.name;
    char ids[48];
    std::snprintf(ids, sizeof ids, device->bus == "pci" ? "PCI\\VEN_%04X&DEV_%04X\\" : "USB\\VID_%04X&PID_%04X\\",
                  device->vendorId, device->productId);
    return ids + baseName(device->path);
}

// Each address of the interface with its mask (an IPv6 address with its prefix length), as
// Windows lists IPAddress and IPSubnet side by side.
void addAddresses(LinuxObject& object, const LinuxContext& context, const NetworkInterface& interface) {
    const LinuxContext* c = &context;
    auto list = [c, interface](bool masks) {
        std::vector<std::string> items;
        for (const InterfaceAddress& address : c->host.interfaceAddresses())
            if (address.interface == interface.name) items.push_back(masks ? address.mask : address.address);
        return items.empty() ? WmiValue::null() : WmiValue::array(vt::Bstr, items);
    };
    object.add("IPAddress", [list] { return list(false); }).add("IPSubnet", [list] { return list(true); });
    object.add("DefaultIPGateway", [c, interface] {
        std::vector<std::string> gateways =
            defaultGateways(c->fs.read("/proc/net/route").value_or(""), c->fs.read("/proc/net/ipv6_route").value_or(""),
                            interface.name);
        return gateways.empty() ? WmiValue::null() : WmiValue::array(vt::Bstr, gateways);
    });
    object
        .add(
            "DHCPEnabled",
            [c, interface] { return WmiValue::boolean(dhcpLease(c->fs, interface.index, interface.name).has_value()); })
        .add("DHCPServer", [c, interface] {
            std::optional<DhcpLease> lease = dhcpLease(c->fs, interface.index, interface.name);
            return lease && !lease->server.empty() ? WmiValue::string(lease->server) : WmiValue::null();
        });
}

// The resolver's servers serve every interface that is up, as Windows lists each adapter's.
WmiValue dnsServers(const RootFs& fs, const NetworkInterface& interface) {
    std::vector<std::string> servers = nameServers(fs.read("/etc/resolv.conf", 1u << 20).value_or(""));
    return servers.empty() || !isUp(fs, interface) ? WmiValue::null() : WmiValue::array(vt::Bstr, servers);
}

}  // namespace

ObjectList readNetworkAdapters(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const NetworkInterface& interface : listInterfaces(context.fs, InterfaceOrder::PhysicalFirst)) {
        std::size_t index = objects.size();
        newObject(objects)
            .add("AdapterType",
                 [interface] {
                     return interface.type == kEthernet ? WmiValue::string("Ethernet 802.3") : WmiValue::null();
                 })
            .add("Manufacturer", [c, interface] { return stringOrNull(manufacturer(*c, interface)); })
            .add("Name", [c, interface] { return WmiValue::string(adapterName(*c, interface)); })
            .add("ProductName", [c, interface] { return WmiValue::string(adapterName(*c, interface)); })
            .add("NetConnectionID", [interface] { return WmiValue::string(interface.name); })
            .add("MACAddress", [interface] { return stringOrNull(macAddress(interface)); })
            .add("DeviceID", [index] { return WmiValue::string(std::to_string(index)); })
            .add("Index", [index] { return uint32OrNull(index); })
            .add("InterfaceIndex", [interface] { return uint32OrNull(interface.index); })
            .add("PhysicalAdapter", [interface] { return WmiValue::boolean(interface.physical); })
            .add("NetEnabled", [c, interface] { return WmiValue::boolean(isUp(c->fs, interface)); })
            .add("Speed", [c, interface] { return uint64OrNull(speed(c->fs, interface)); })
            .add("NetConnectionStatus", [c, interface] { return uint32OrNull(connectionStatus(c->fs, interface)); })
            .add("PNPDeviceID", [c, interface] { return WmiValue::string(pnpDeviceId(c->fs, interface)); });
    }
    return objects;
}

ObjectList readNetworkAdapterConfigurations(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const NetworkInterface& interface : listInterfaces(context.fs, InterfaceOrder::PhysicalFirst)) {
        std::size_t index = objects.size();
        LinuxObject& object = newObject(objects);
        object.add("MACAddress", [interface] { return stringOrNull(macAddress(interface)); })
            .add("Description", [c, interface] { return WmiValue::string(adapterName(*c, interface)); })
            .add("Index", [index] { return uint32OrNull(index); })
            .add("InterfaceIndex", [interface] { return uint32OrNull(interface.index); })
            .add("IPEnabled", [c, interface] { return WmiValue::boolean(isUp(c->fs, interface)); })
            .add("DNSServerSearchOrder", [c, interface] { return dnsServers(c->fs, interface); })
            .addNull("DNSDomain");
        addAddresses(object, context, interface);
    }
    return objects;
}

}  // namespace moravel::lx
