// Win32_NetworkAdapter and Win32_NetworkAdapterConfiguration: the interfaces of /sys/class/net
// without loopback, devices before software interfaces, both classes in the same order.
#include <cstdio>

#include "query/linux/linux_classes.h"
#include "query/linux/network_interfaces.h"

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

}  // namespace

ObjectList readNetworkAdapters(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const NetworkInterface& interface : listInterfaces(context.fs, InterfaceOrder::PhysicalFirst)) {
        auto object = std::make_unique<LinuxObject>();
        std::size_t index = objects.size();
        object->add("AdapterType", [interface] {
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
            .add("NetEnabled", [c, interface] { return WmiValue::boolean(isUp(c->fs, interface)); });
        objects.push_back(std::move(object));
    }
    return objects;
}
const RegisteredReader networkAdapterReader{"Win32_NetworkAdapter", readNetworkAdapters};

ObjectList readNetworkAdapterConfigurations(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const NetworkInterface& interface : listInterfaces(context.fs, InterfaceOrder::PhysicalFirst)) {
        auto object = std::make_unique<LinuxObject>();
        std::size_t index = objects.size();
        object->add("MACAddress", [interface] { return stringOrNull(macAddress(interface)); })
            .add("Description", [c, interface] { return WmiValue::string(adapterName(*c, interface)); })
            .add("Index", [index] { return uint32OrNull(index); })
            .add("InterfaceIndex", [interface] { return uint32OrNull(interface.index); })
            .add("IPEnabled", [c, interface] { return WmiValue::boolean(isUp(c->fs, interface)); })
            .addNull("DNSDomain");
        objects.push_back(std::move(object));
    }
    return objects;
}
const RegisteredReader networkAdapterConfigurationReader{"Win32_NetworkAdapterConfiguration", readNetworkAdapterConfigurations};

}  // namespace moravel::lx
