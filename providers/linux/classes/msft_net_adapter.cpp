// MSFT_NetAdapter (ROOT\StandardCimv2): the physical medium of each network interface, which
// Win32_NetworkAdapter does not tell (Wi-Fi adapters are "Ethernet 802.3" there too), matched
// to it by InterfaceIndex.
#include "providers/linux/classes/readers.h"
#include "providers/linux/system/network_interfaces.h"

namespace moravel::lx {
namespace {

constexpr unsigned kEthernet = 1;  // ARPHRD_ETHER
// NDIS_PHYSICAL_MEDIUM: 0 unspecified, 9 native 802.11, 10 Bluetooth, 14 802.3.
constexpr unsigned kUnspecified = 0, kNative80211 = 9, kBluetooth = 10, k8023 = 14;

unsigned physicalMedium(const RootFs& fs, const NetworkInterface& interface) {
    std::string dir = "/sys/class/net/" + interface.name;
    if (fs.exists(dir + "/wireless") || fs.exists(dir + "/phy80211")) return kNative80211;
    if (interface.name.compare(0, 4, "bnep") == 0) return kBluetooth;
    return interface.type == kEthernet && interface.physical ? k8023 : kUnspecified;
}

}  // namespace

ObjectList readNetAdapters(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const NetworkInterface& interface : listInterfaces(context.fs, InterfaceOrder::PhysicalFirst)) {
        newObject(objects)
            .add("InterfaceIndex", [interface] { return uint32OrNull(interface.index); })
            .add("Name", [interface] { return WmiValue::string(interface.name); })
            .add("NdisPhysicalMedium", [fs, interface] { return uint32OrNull(physicalMedium(*fs, interface)); })
            .add("Virtual", [interface] { return WmiValue::boolean(!interface.physical); })
            .add("HardwareInterface", [interface] { return WmiValue::boolean(interface.physical); });
    }
    return objects;
}

}  // namespace moravel::lx
