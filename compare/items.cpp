// The fuller inventory as the items a comparison matches: each thing with what identifies it
// (serial number, MAC address, slot) and its properties as text. The machine's own parts
// (computer, firmware, board, operating system) are one each and need no identity. What the 38
// fields already say of the whole machine (its memory, the last boot) is not repeated.
#include <cstdio>
#include <stdexcept>

#include "compare/compare.h"
#include "inventory/health.h"
#include "query/wmi_names.h"
#include "sections/section_support.h"

namespace moravel {
namespace {

constexpr std::uint64_t kGibi = std::uint64_t{1} << 30;

std::string number(const Number& value, const char* unit = "") {
    return value ? std::to_string(*value) + unit : std::string();
}

constexpr std::uint64_t kMebi = std::uint64_t{1} << 20;

// "8 GB" for whole gibibytes, "4095 MB" below 100 GB, else whole gigabytes: "466 GB".
std::string bytes(const Number& value) {
    if (!value) return {};
    if (*value % kGibi == 0) return std::to_string(*value / kGibi) + " GB";
    if (*value < 100 * kGibi) return std::to_string(*value / kMebi) + " MB";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f GB", static_cast<double>(*value) / static_cast<double>(kGibi));
    return text;
}

// An identity key, or empty text (which tells nothing) when the value is missing or a placeholder.
std::string key(const char* what, const std::string& value) {
    return isPlaceholderSerial(value) ? std::string() : std::string(what) + " " + value;
}

// "Kingston 8 GB (serial 1A2B)": the words given that are not empty.
std::string named(std::initializer_list<std::string> words, const std::string& serial,
                  const char* serialWord = "serial") {
    const std::string mark = isPlaceholderSerial(serial) ? "" : "(" + std::string(serialWord) + " " + serial + ")";
    return spaced({spaced(words), mark});
}

// A part's health after its other properties: its changes are expected (a disk ages), but a
// disk that turns to failing is a change.
void withHealth(const std::vector<HealthLine>& health, InventoryItem& item) {
    for (const HealthLine& line : health) item.properties.push_back({line.label, line.text});
}

void addMachine(const Inventory& inventory, std::vector<InventoryItem>& items) {
    const ComputerIdentity& c = inventory.computer;
    items.push_back(makeItem("Computer", "", {},
                             {{"Manufacturer", c.manufacturer},
                              {"Model", c.model},
                              {"Serial number", c.serialNumber},
                              {"UUID", c.uuid},
                              {"SKU", c.skuNumber},
                              {"Chassis", c.chassisType},
                              {"Asset tag", c.assetTag}}));
    const FirmwareInfo& bios = inventory.bios;
    items.push_back(makeItem("Firmware", "", {},
                             {{"Manufacturer", bios.manufacturer},
                              {"Version", bios.version},
                              {"Release date", bios.releaseDate},
                              {"Serial number", bios.serialNumber}}));
    const BoardInfo& board = inventory.board;
    items.push_back(makeItem(
        "Board", "", {},
        {{"Manufacturer", board.manufacturer}, {"Product", board.product}, {"Serial number", board.serialNumber}}));
    const OperatingSystemInfo& os = inventory.os;
    items.push_back(makeItem("Operating system", "", {},
                             {{"Name", os.name},
                              {"Version", os.version},
                              {"Build", os.build},
                              {"Service pack", os.servicePack},
                              {"Architecture", os.architecture},
                              {"Installed", os.installDate},
                              {"Time zone", os.timeZoneName},
                              {"Product ID", os.productId}}));
    for (ItemProperty& property : items.back().properties) property.software = true;  // updates, not hardware
}

void addProcessors(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Processor& cpu : inventory.processors)
        items.push_back(makeItem("Processor", cpu.name, {key("socket", cpu.socket)},
                                 {{"Name", cpu.name},
                                  {"Socket", cpu.socket},
                                  {"Manufacturer", cpu.manufacturer},
                                  {"Description", cpu.description},
                                  {"Processor ID", cpu.processorId},
                                  {"Cores", number(cpu.cores)},
                                  {"Threads", number(cpu.threads)},
                                  {"Clock", number(cpu.currentMhz, " MHz")},
                                  {"Max clock", number(cpu.maxMhz, " MHz")},
                                  {"L2 cache", number(cpu.l2CacheKib, " KB")},
                                  {"L3 cache", number(cpu.l3CacheKib, " KB")}}));
}

void addMemoryModules(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const MemoryModule& module : inventory.memoryModules)
        items.push_back(
            makeItem("Memory module",
                     named({module.slot.empty() ? module.bank : module.slot, bytes(module.capacityBytes), module.type},
                           module.serialNumber),
                     {key("serial", module.serialNumber), key("slot", module.bank + " " + module.slot)},
                     {{"Slot", module.slot},
                      {"Bank", module.bank},
                      {"Size", bytes(module.capacityBytes)},
                      {"Type", module.type},
                      {"Form factor", module.formFactor},
                      {"Speed", number(module.speedMts, " MT/s")},
                      {"Configured speed", number(module.configuredSpeedMts, " MT/s")},
                      {"Manufacturer", module.manufacturer},
                      {"Part number", module.partNumber},
                      {"Serial number", module.serialNumber}}));
}

void addDisks(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Disk& disk : inventory.disks) {
        items.push_back(makeItem("Disk", named({disk.model, bytes(disk.sizeBytes)}, disk.serialNumber),
                                 {key("serial", disk.serialNumber), key("device", disk.name)},
                                 {{"Model", disk.model},
                                  {"Manufacturer", disk.manufacturer},
                                  {"Serial number", disk.serialNumber},
                                  {"Firmware", disk.firmware},
                                  {"Bus", diskBusName(disk.bus)},
                                  {"Media", disk.mediaType},
                                  {"Removable", disk.removable ? "yes" : "no"},
                                  {"Size", bytes(disk.sizeBytes)}}));
        items.back().fixed = !disk.removable;
        withHealth(diskHealthLines(disk), items.back());
    }
}

void addNetworkAdapters(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const NetworkAdapter& adapter : inventory.networkAdapters) {
        const std::string& device = adapter.description.empty() ? adapter.name : adapter.description;
        items.push_back(makeItem("Network adapter", named({device}, adapter.macAddress, "MAC"),
                                 {key("MAC", adapter.macAddress), key("adapter", device)},
                                 {{"Name", adapter.name},
                                  {"Device", adapter.description},
                                  {"Manufacturer", adapter.manufacturer},
                                  {"MAC address", adapter.macAddress},
                                  {"Virtual", adapter.virtualAdapter ? "yes" : "no"},
                                  {"IPv4", joined(adapter.ipv4)},
                                  {"IPv6", joined(adapter.ipv6)},
                                  {"Gateways", joined(adapter.gateways)},
                                  {"DHCP", yesNo(adapter.dhcp)},
                                  {"DHCP server", adapter.dhcpServer},
                                  {"Connected", yesNo(adapter.connected)},
                                  {"Speed", number(adapter.speedBitsPerSecond, " bit/s")}}));
        items.back().fixed = !adapter.virtualAdapter;
    }
}

void addVideoAdapters(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const VideoAdapter& video : inventory.videoAdapters)
        items.push_back(makeItem("Video adapter", video.name, {key("card", video.name)},
                                 {{"Name", video.name},
                                  {"Chip", video.chip},
                                  {"Memory", bytes(video.memoryBytes)},
                                  {"Driver version", video.driverVersion, true},
                                  {"Driver date", video.driverDate, true},
                                  {"Resolution", video.resolution}}));
}

void addMonitors(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Monitor& monitor : inventory.monitors)
        items.push_back(makeItem("Monitor", named({monitor.manufacturer, monitor.model}, monitor.serialNumber),
                                 {key("serial", monitor.serialNumber)},
                                 {{"Manufacturer", monitor.manufacturer},
                                  {"Model", monitor.model},
                                  {"Product code", monitor.productCode},
                                  {"Serial number", monitor.serialNumber},
                                  {"Year", number(monitor.year)},
                                  {"Width", number(monitor.widthCm, " cm")},
                                  {"Height", number(monitor.heightCm, " cm")}}));
}

void addBatteries(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Battery& battery : inventory.batteries) {
        items.push_back(makeItem("Battery", named({battery.name}, battery.serialNumber),
                                 {key("serial", battery.serialNumber)},
                                 {{"Name", battery.name},
                                  {"Manufacturer", battery.manufacturer},
                                  {"Chemistry", battery.chemistry},
                                  {"Serial number", battery.serialNumber},
                                  {"Made", battery.manufactureDate},
                                  {"Design capacity", number(battery.designCapacityMwh, " mWh")},
                                  {"Full charge capacity", number(battery.fullChargeCapacityMwh, " mWh")},
                                  {"Cycles", number(battery.cycleCount)}}));
        withHealth(batteryHealthLines(battery), items.back());
    }
}

// A PCI device is told apart by its ids (two of one kind pair in order); its slot is not kept.
void addControllers(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Controller& controller : inventory.controllers) {
        std::string ids = controller.vendorId + ":" + controller.productId;
        items.push_back(makeItem("Controller", controller.name, {key("PCI", spaced({ids, controller.subsystemId}))},
                                 {{"Name", controller.name},
                                  {"Manufacturer", controller.manufacturer},
                                  {"Type", controller.type},
                                  {"PCI ids", ids},
                                  {"Subsystem", controller.subsystemId},
                                  {"Revision", controller.revision},
                                  {"Driver", controller.driver}}));
    }
}

// A program by its name and architecture (one may be installed for two), an update of Windows
// by its number: what is installed, removed or updated. Its install date and size change with
// each update and tell nothing the version does not.
void addSoftware(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Software& program : inventory.software) {
        const std::string arch = program.architecture.empty() ? "" : " " + program.architecture;
        items.push_back(makeItem(
            "Program", program.name, {"program " + program.name + arch},
            {{"Version", program.version}, {"Publisher", program.publisher}, {"Architecture", program.architecture}}));
        items.back().program = true;
    }
}

// How each kind of the inventory becomes items, and the kind of item it makes where a snapshot
// saved before the inventory was recorded says nothing of it.
struct Comparing {
    const char* unlisted = nullptr;  // null: every snapshot records it
    void (*add)(const Inventory& inventory, std::vector<InventoryItem>& items) = nullptr;
    explicit operator bool() const { return add != nullptr; }
};
const KindHandler<Comparing> kComparisons[] = {
    {InventoryKind::Computer, {nullptr, addMachine}},
    {InventoryKind::Processor, {"Processor", addProcessors}},
    {InventoryKind::MemoryModule, {"Memory module", addMemoryModules}},
    {InventoryKind::Disk, {"Disk", addDisks}},
    {InventoryKind::Volume, {}, "not compared: the Drives fields compare the system drive"},
    {InventoryKind::NetworkAdapter, {"Network adapter", addNetworkAdapters}},
    {InventoryKind::VideoAdapter, {"Video adapter", addVideoAdapters}},
    {InventoryKind::Monitor, {"Monitor", addMonitors}},
    {InventoryKind::Battery, {"Battery", addBatteries}},
    {InventoryKind::SoundDevice, {}, "not compared: the Sound field compares the first device"},
    {InventoryKind::Printer, {}, "not compared: the Printer field compares the first queue"},
    {InventoryKind::InputDevice, {}, "not compared"},
    {InventoryKind::UsbDevice, {}, "not compared: the USB Drive field compares USB disks"},
    {InventoryKind::Temperature, {}, "not compared: readings, not parts; disks show theirs beside them"},
    {InventoryKind::Controller, {"Controller", addControllers}},
    {InventoryKind::LocalUser, {}, "not compared: accounts belong to the installation, not the machine"},
    {InventoryKind::LocalGroup, {}, "not compared: accounts belong to the installation, not the machine"},
    {InventoryKind::Antivirus, {}, "not compared: an antivirus product is installed software"},
    {InventoryKind::Software, {"Program", addSoftware}},
};

bool lists(const SnapshotData& snapshot, const std::string& className) {
    return findWmiName(snapshot.classes, className) != snapshot.classes.end() ||
           findWmiName(snapshot.fileClasses, className) != snapshot.fileClasses.end();
}

}  // namespace

const InventoryKindInfo& infoOf(InventoryKind kind) {
    for (const InventoryKindInfo& info : inventoryKinds())
        if (info.kind == kind) return info;
    throw std::logic_error("an inventory kind without its declaration");
}

std::string yesNo(const Flag& value) { return value ? (*value ? "yes" : "no") : std::string(); }

std::string joined(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& item : list) text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string spaced(std::initializer_list<std::string> words) {
    std::string text;
    for (const std::string& word : words)
        if (!word.empty()) text += (text.empty() ? "" : " ") + word;
    return text;
}

InventoryItem makeItem(std::string kind, std::string name, std::vector<std::string> identity,
                       std::initializer_list<ItemProperty> properties) {
    InventoryItem made{std::move(kind), std::move(name), std::move(identity), {}};
    for (const ItemProperty& property : properties)
        if (!property.text.empty()) made.properties.push_back(property);
    return made;
}

std::vector<KindCoverage> comparisonKindCoverage() { return coverageOf(kComparisons); }

std::vector<std::string> unlistedKinds(const SnapshotData& snapshot) {
    std::vector<std::string> kinds;
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.handle.unlisted && !lists(snapshot, infoOf(comparing.kind).classes.front()))
            kinds.push_back(comparing.handle.unlisted);
    return kinds;
}

std::string kindInPlural(const std::string& kind) {
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.handle.unlisted && kind == comparing.handle.unlisted) return infoOf(comparing.kind).name;
    return kind;
}

std::vector<InventoryItem> inventoryItems(const Inventory& inventory) {
    std::vector<InventoryItem> items;
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.handle) comparing.handle.add(inventory, items);
    return items;
}

std::vector<InventoryKind> comparedKinds() {
    std::vector<InventoryKind> kinds;
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.handle) kinds.push_back(comparing.kind);
    return kinds;
}

const char* unrecordedItems(InventoryKind kind) {
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.kind == kind) return comparing.handle.unlisted;
    return nullptr;
}

void readItems(WmiProvider* provider, SystemProbes* probes, InventoryKind kind,
               const std::function<void(const InventoryItem&)>& visit) {
    constexpr std::size_t kPiece = 4096;
    const InventoryKindInfo& info = infoOf(kind);
    const Comparing* comparing = nullptr;
    for (const KindHandler<Comparing>& entry : kComparisons)
        if (entry.kind == kind && entry.handle) comparing = &entry.handle;
    if (!comparing) return;
    ClassSource source(provider, probes);  // the kind's other classes are read once, whole
    const bool whole = !info.inPieces || !provider;
    for (std::size_t first = 0;; first += kPiece) {
        const std::size_t read = whole ? 0 : source.readPiece(info.classes.front(), first, kPiece);
        Inventory piece;
        info.read(source, piece);
        std::vector<InventoryItem> items;
        comparing->add(piece, items);
        for (const InventoryItem& item : items) visit(item);
        if (whole || read < kPiece) break;
    }
}

std::vector<InventoryItem> inventoryItems(const Inventory& inventory, InventoryKind kind) {
    std::vector<InventoryItem> items;
    for (const KindHandler<Comparing>& comparing : kComparisons)
        if (comparing.kind == kind && comparing.handle) comparing.handle.add(inventory, items);
    return items;
}

}  // namespace moravel
