#include "export/glpi_json.h"

#include <nlohmann/json.hpp>

#include "inventory/codes.h"
#include "moravel_version.h"

namespace moravel {
namespace {

using Json = nlohmann::ordered_json;

// Members are written only when they hold something, so the document says nothing it does not know.
class Object {
public:
    Object& text(const char* key, const std::string& value) {
        if (!value.empty()) json_[key] = validUtf8(value);
        return *this;
    }
    Object& number(const char* key, Number value) {
        if (value) json_[key] = *value;
        return *this;
    }
    Object& flag(const char* key, Flag value) {
        if (value) json_[key] = *value;
        return *this;
    }
    Object& add(const char* key, Json value) {
        if (!value.empty()) json_[key] = std::move(value);
        return *this;
    }
    Json json() const { return json_; }

private:
    Json json_ = Json::object();
};

Json hardware(const Inventory& inventory) {
    const ComputerIdentity& computer = inventory.computer;
    return Object()
        .text("name", computer.name)
        .text("workgroup", computer.workgroup)
        .text("uuid", computer.uuid)
        .number("memory", mebibytes(computer.memoryBytes))
        .text("chassis_type", computer.chassisType)
        .text("defaultgateway", firstIpv4Gateway(inventory))
        .text("dns", dnsServers(inventory))
        .text("vmsystem", computer.vmSystem)
        .text("lastloggeduser", computer.lastLoggedUser)
        .text("winprodid", inventory.os.productId)
        .json();
}

Json bios(const Inventory& inventory) {
    const ComputerIdentity& computer = inventory.computer;
    return Object()
        .text("smanufacturer", computer.manufacturer)
        .text("smodel", computer.model)
        .text("ssn", computer.serialNumber)
        .text("skunumber", computer.skuNumber)
        .text("assettag", computer.assetTag)
        .text("bmanufacturer", inventory.bios.manufacturer)
        .text("bversion", inventory.bios.version)
        .text("bdate", inventory.bios.releaseDate)
        .text("biosserial", inventory.bios.serialNumber)
        .text("mmanufacturer", inventory.board.manufacturer)
        .text("mmodel", inventory.board.product)
        .text("msn", inventory.board.serialNumber)
        .json();
}

Json operatingSystem(const Inventory& inventory) {
    const OperatingSystemInfo& os = inventory.os;
    const ComputerIdentity& computer = inventory.computer;
    Json timezone;
    if (os.utcOffsetMinutes) {
        std::string offset = utcOffsetText(*os.utcOffsetMinutes);
        timezone = {{"name", validUtf8(os.timeZoneName.empty() ? offset : os.timeZoneName)}, {"offset", offset}};
    }
    std::string fqdn = computer.domain.empty() ? computer.name : computer.name + "." + computer.domain;
    return Object()
        .text("name", osShortName(os))
        .text("full_name", os.name)
        .text("version", os.release)
        .text("kernel_name", os.kernelName)
        .text("kernel_version", os.version)
        .text("service_pack", os.servicePack)
        .text("arch", os.architecture)
        .text("install_date", os.installDate)
        .text("boot_time", os.lastBoot)
        .text("fqdn", computer.name.empty() ? std::string() : fqdn)
        .text("dns_domain", computer.domain)
        .add("timezone", timezone)
        .json();
}

bool glpiArchitecture(const std::string& name) {
    for (const char* known : {"i686", "mips", "alpha", "powerpc", "arm", "x86_64", "aarch64"})
        if (name == known) return true;
    return false;
}

Json processor(const Processor& cpu) {
    Number perCore;  // the format counts threads per core
    if (cpu.cores.value_or(0) > 0 && cpu.threads) perCore = cpu.threads.value_or(0) / cpu.cores.value_or(1);
    return Object()
        .text("name", cpu.name)
        .text("manufacturer", cpu.manufacturer)
        .text("description", cpu.description)
        .text("id", cpu.processorId)
        .text("arch", glpiArchitecture(cpu.architecture) ? cpu.architecture : std::string())
        .number("core", cpu.cores)
        .number("thread", perCore)
        .number("speed", processorSpeed(cpu))
        .number("external_clock", cpu.externalClockMhz)
        .text("familynumber", cpu.family ? std::to_string(*cpu.family) : std::string())
        .text("model", cpu.model ? std::to_string(*cpu.model) : std::string())
        .number("stepping", cpu.stepping)
        .json();
}

Json memory(const MemoryModule& module, std::size_t slot) {
    return Object()
        .text("caption", module.slot)
        .text("description", module.formFactor)
        .text("formfactor", module.formFactor)
        .number("capacity", mebibytes(module.capacityBytes))
        .text("type", module.type)
        .text("speed", module.speedMts ? std::to_string(*module.speedMts) : std::string())
        .text("manufacturer", module.manufacturer)
        .text("model", module.partNumber)
        .text("serialnumber", module.serialNumber)
        .number("numslots", slot + 1)
        .json();
}

Json storage(const Disk& disk) {
    return Object()
        .text("name", disk.name)
        .text("model", disk.model)
        .text("manufacturer", disk.manufacturer)
        .text("serial", disk.serialNumber)
        .text("firmware", disk.firmware)
        .text("interface", diskBusName(disk.bus))
        .text("description", disk.mediaType)
        .text("type", disk.removable ? "removable" : "disk")
        .number("disksize", mebibytes(disk.sizeBytes))
        .json();
}

// A drive letter ("C:") goes to "letter"; a mount point to "type", where the format keeps it.
Json drive(const Volume& volume) {
    bool letter = volume.mountPoint.size() == 2 && volume.mountPoint[1] == ':';
    return Object()
        .text(letter ? "letter" : "type", volume.mountPoint)
        .text("filesystem", volume.fileSystem)
        .text("label", volume.label)
        .text("serial", volume.serial)
        .text("volumn", volume.source)
        .number("total", mebibytes(volume.sizeBytes))
        .number("free", mebibytes(volume.freeBytes))
        .json();
}

const std::pair<AdapterKind, const char*> kAdapterTypes[] = {
    {AdapterKind::Ethernet, "ethernet"}, {AdapterKind::Wifi, "wifi"}, {AdapterKind::Loopback, "loopback"}};

// What every entry of an adapter says.
Object adapterEntry(const NetworkAdapter& adapter) {
    Object entry;
    entry.text("description", adapter.name.empty() ? "adapter" : adapter.name)
        .text("model", adapter.description)
        .text("manufacturer", adapter.manufacturer)
        .text("mac", adapter.macAddress)
        .text("type", nameOf(kAdapterTypes, adapter.kind))
        .flag("virtualdev", adapter.virtualAdapter)
        .text("status", adapter.connected ? (*adapter.connected ? "up" : "down") : "")
        .text("speed", adapter.speedBitsPerSecond ? std::to_string(*adapter.speedBitsPerSecond / 1000000) : "");
    return entry;
}

// One entry per address, IPv6 ones in fields of their own, as the GLPI agent writes them.
void addNetworks(const NetworkAdapter& adapter, Json& networks) {
    for (const AddressEntry& address : addressEntries(adapter))
        networks.push_back(adapterEntry(adapter)
                               .text(address.ipv6 ? "ipaddress6" : "ipaddress", address.address)
                               .text(address.ipv6 ? "ipmask6" : "ipmask", address.mask)
                               .text(address.ipv6 ? "ipsubnet6" : "ipsubnet", address.subnet)
                               .text("ipgateway", address.gateway)
                               .text("ipdhcp", address.dhcpServer)
                               .json());
}

Json video(const VideoAdapter& adapter) {
    return Object()
        .text("name", adapter.name)
        .text("chipset", adapter.chip)
        .number("memory", mebibytes(adapter.memoryBytes))
        .text("resolution", adapter.resolution)
        .json();
}

Json monitor(const Monitor& screen) {
    return Object()
        .text("name", screen.model)
        .text("caption", screen.model)
        .text("manufacturer", screen.manufacturer)
        .text("serial", screen.serialNumber)
        .text("description", madeText(screen))
        .json();
}

Json battery(const Battery& cell) {
    return Object()
        .text("name", cell.name)
        .text("manufacturer", cell.manufacturer)
        .text("serial", cell.serialNumber)
        .text("chemistry", cell.chemistry)
        .text("date", cell.manufactureDate)
        .number("capacity", cell.designCapacityMwh)
        .number("real_capacity", cell.fullChargeCapacityMwh)
        .number("voltage", cell.designVoltageMv)
        .json();
}

// The format has a place for the sensors a machine has, not for their readings, which change
// with every inventory.
Json sensor(const TemperatureSensor& temperature) {
    return Object().text("name", temperature.name).text("type", "TEMPERATURE").json();
}

Json printer(const Printer& queue) {
    return Object()
        .text("name", queue.name.empty() ? "printer" : queue.name)
        .text("driver", queue.driver)
        .text("port", queue.port)
        .text("sharename", queue.shareName)
        .text("comment", queue.comment)
        .text("resolution", queue.resolution)
        .flag("network", queue.network)
        .flag("shared", queue.shared)
        .text("status", queue.status ? std::to_string(*queue.status) : std::string())
        .json();
}

Json input(const InputDevice& device) {
    return Object()
        .text("name", device.name)
        .text("caption", device.name)
        .text("description", device.description)
        .text("manufacturer", device.manufacturer)
        .text("interface", device.interfaceType)
        .text("layout", device.layout)
        .text("pointingtype", device.pointingType)
        .text("type", device.kind == InputKind::Keyboard ? "keyboard" : "pointing")
        .json();
}

Json sound(const SoundDevice& device) {
    return Object()
        .text("name", device.name)
        .text("manufacturer", device.manufacturer)
        .text("description", device.description)
        .json();
}

Json usbDevice(const UsbDevice& device) {
    return Object()
        .text("name", device.name)
        .text("caption", device.name)
        .text("manufacturer", device.manufacturer)
        .text("vendorid", device.vendorId)
        .text("productid", device.productId)
        .text("serial", device.serialNumber)
        .json();
}

Json controller(const Controller& device) {
    return Object()
        .text("name", device.name)
        .text("caption", device.name)
        .text("manufacturer", device.manufacturer)
        .text("type", device.type)
        .text("pciclass", device.pciClass)
        .text("vendorid", device.vendorId)
        .text("productid", device.productId)
        .text("pcisubsystemid", device.subsystemId)
        .text("rev", device.revision)
        .text("driver", device.driver)
        .json();
}

// The format wants an id; an account without one is left out.
Json localUser(const LocalUser& user) {
    return user.id.empty() ? Json() : Object().text("id", user.id).text("login", user.login).text("name", user.name).json();
}

Json localGroup(const LocalGroup& group) {
    return group.id.empty() || group.name.empty() ? Json() : Object().text("id", group.id).text("name", group.name).json();
}

Json antivirus(const Antivirus& product) {
    return Object()
        .text("name", product.name)
        .text("company", product.company)
        .text("version", product.version)
        .text("guid", product.guid)
        .flag("enabled", product.enabled)
        .flag("uptodate", product.upToDate)
        .json();
}

Json software(const Software& program) {
    return Object()
        .text("name", program.name)
        .text("version", program.version)
        .text("publisher", program.publisher)
        .text("install_date", program.installDate)
        .number("filesize", program.sizeBytes)
        .text("arch", program.architecture)
        .text("guid", program.guid)
        .text("from", program.source)
        .text("system_category", program.category)
        .text("folder", program.folder)
        .json();
}

template <typename Item, typename Write>
Json listOf(const std::vector<Item>& items, Write write) {
    Json list = Json::array();
    for (const Item& item : items)
        if (Json written = write(item); !written.is_null()) list.push_back(std::move(written));
    return list;
}

// Each kind's members of the document's content, in the order the document has them.
using Writer = void (*)(const Inventory& inventory, Object& content);

const KindHandler<Writer> kWriters[] = {
    {InventoryKind::Computer,
     [](const Inventory& inventory, Object& content) {
         content.add("hardware", hardware(inventory));
         content.add("bios", bios(inventory));
         content.add("operatingsystem", operatingSystem(inventory));
     }},
    {InventoryKind::Processor, [](const Inventory& i, Object& c) { c.add("cpus", listOf(i.processors, processor)); }},
    {InventoryKind::MemoryModule,
     [](const Inventory& inventory, Object& content) {
         Json memories = Json::array();
         for (std::size_t i = 0; i < inventory.memoryModules.size(); ++i)
             memories.push_back(memory(inventory.memoryModules[i], i));
         content.add("memories", memories);
     }},
    {InventoryKind::Disk, [](const Inventory& i, Object& c) { c.add("storages", listOf(i.disks, storage)); }},
    {InventoryKind::Volume, [](const Inventory& i, Object& c) { c.add("drives", listOf(i.volumes, drive)); }},
    {InventoryKind::NetworkAdapter,
     [](const Inventory& inventory, Object& content) {
         Json networks = Json::array();
         for (const NetworkAdapter& adapter : inventory.networkAdapters) addNetworks(adapter, networks);
         content.add("networks", networks);
     }},
    {InventoryKind::VideoAdapter,
     [](const Inventory& i, Object& c) { c.add("videos", listOf(i.videoAdapters, video)); }},
    {InventoryKind::Monitor, [](const Inventory& i, Object& c) { c.add("monitors", listOf(i.monitors, monitor)); }},
    {InventoryKind::Battery, [](const Inventory& i, Object& c) { c.add("batteries", listOf(i.batteries, battery)); }},
    {InventoryKind::SoundDevice, [](const Inventory& i, Object& c) { c.add("sounds", listOf(i.soundDevices, sound)); }},
    {InventoryKind::Printer, [](const Inventory& i, Object& c) { c.add("printers", listOf(i.printers, printer)); }},
    {InventoryKind::InputDevice, [](const Inventory& i, Object& c) { c.add("inputs", listOf(i.inputs, input)); }},
    {InventoryKind::UsbDevice,
     [](const Inventory& i, Object& c) { c.add("usbdevices", listOf(i.usbDevices, usbDevice)); }},
    {InventoryKind::Temperature,
     [](const Inventory& i, Object& c) { c.add("sensors", listOf(i.temperatures, sensor)); }},
    {InventoryKind::Controller,
     [](const Inventory& i, Object& c) { c.add("controllers", listOf(i.controllers, controller)); }},
    {InventoryKind::LocalUser,
     [](const Inventory& i, Object& c) { c.add("local_users", listOf(i.localUsers, localUser)); }},
    {InventoryKind::LocalGroup,
     [](const Inventory& i, Object& c) { c.add("local_groups", listOf(i.localGroups, localGroup)); }},
    {InventoryKind::Antivirus,
     [](const Inventory& i, Object& c) { c.add("antivirus", listOf(i.antivirus, antivirus)); }},
    {InventoryKind::Software, [](const Inventory& i, Object& c) { c.add("softwares", listOf(i.software, software)); }},
};

}  // namespace

std::vector<KindCoverage> glpiKindCoverage() { return coverageOf(kWriters); }

std::string glpiInventoryJson(const Inventory& inventory, const ExportOptions& options) {
    Object content;
    for (const KindHandler<Writer>& writer : kWriters)
        if (writer.handle) writer.handle(inventory, content);
    content.text("versionclient", versionClient())
        .add("versionprovider", {{"name", "Moravel"}, {"version", MORAVEL_VERSION}});
    Json document = {{"action", "inventory"},
                     {"deviceid", validUtf8(inventoryDeviceId(inventory))},
                     {"itemtype", "Computer"},
                     {"content", content.json()}};
    if (!options.tag.empty()) document["tag"] = validUtf8(options.tag);
    return document.dump(2) + "\n";
}

}  // namespace moravel
