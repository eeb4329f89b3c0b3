// The Details list: each kind of the inventory as its items, in groups a person looks through.
// The kinds the comparison matches come as it makes them; the list adds the kinds it leaves to
// the 38 fields (volumes, sound, input, USB, printers) and the machine's values the fields
// already show (its name, memory, last boot).
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "details/details.h"
#include "inventory/health.h"
#include "inventory/kinds.h"

namespace moravel {
namespace {

const char* const kDiskGroup = "Disks and volumes";

// The groups in the order a person looks through a machine, and the kinds of item each holds.
struct GroupKinds {
    const char* title;
    std::vector<std::string> kinds;
};
const GroupKinds kGroups[] = {
    {"Computer", {"Computer", "Operating system"}},
    {"Firmware and board", {"Firmware", "Board"}},
    {"Processors", {"Processor"}},
    {"Memory modules", {"Memory module"}},
    {kDiskGroup, {"Disk", "Volume"}},
    {"Graphics and monitors", {"Video adapter", "Monitor"}},
    {"Network", {"Network adapter"}},
    {"Battery", {"Battery"}},
    {"Temperatures", {"Temperature"}},
    {"Sound and input", {"Sound device", "Keyboard", "Pointing device"}},
    {"USB", {"USB device"}},
    {"PCI controllers", {"Controller"}},
    {"Printers", {"Printer"}},
    {"Accounts", {"Local user", "Local group"}},
    {"Antivirus", {"Antivirus"}},
    {"Software", {"Program"}},
};
// A kind no group names yet still shows, here.
const char* const kOtherGroup = "Other";

// A volume's size to a tenth of a gigabyte (GiB), where free space is read closely.
std::string capacity(const Number& value) {
    if (!value) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(*value) / (1024.0 * 1024.0 * 1024.0));
    return text;
}

std::string driveType(const std::optional<int>& type) {
    if (!type) return {};
    switch (*type) {
    case 2: return "removable";
    case 3: return "local disk";
    case 4: return "network drive";
    case 5: return "optical disc";
    case 6: return "RAM disk";
    default: return std::to_string(*type);
    }
}

// WMI's PrinterStatus in words.
std::string printerState(const Number& status) {
    if (!status) return {};
    switch (*status) {
    case 3: return "idle";
    case 4: return "printing";
    case 5: return "warming up";
    case 6: return "stopped printing";
    case 7: return "offline";
    default: return std::to_string(*status);
    }
}

void addVolumes(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Volume& volume : inventory.volumes)
        items.push_back(makeItem("Volume", spaced({volume.mountPoint, volume.label, capacity(volume.sizeBytes)}), {},
                                 {{"Mount point", volume.mountPoint},
                                  {"Label", volume.label},
                                  {"File system", volume.fileSystem},
                                  {"Type", driveType(volume.driveType)},
                                  {"Size", capacity(volume.sizeBytes)},
                                  {"Free", capacity(volume.freeBytes)},
                                  {"Serial number", volume.serial},
                                  {"Share", volume.source}}));
}

void addSoundDevices(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const SoundDevice& sound : inventory.soundDevices)
        items.push_back(
            makeItem("Sound device", sound.name, {},
                     {{"Name", sound.name}, {"Manufacturer", sound.manufacturer}, {"Description", sound.description}}));
}

void addInputs(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const InputDevice& input : inventory.inputs)
        items.push_back(makeItem(input.kind == InputKind::Keyboard ? "Keyboard" : "Pointing device", input.name, {},
                                 {{"Name", input.name},
                                  {"Manufacturer", input.manufacturer},
                                  {"Description", input.description},
                                  {"Interface", input.interfaceType},
                                  {"Layout", input.layout},
                                  {"Type", input.pointingType}}));
}

void addUsbDevices(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const UsbDevice& usb : inventory.usbDevices) {
        const std::string ids = usb.vendorId.empty() ? "" : "(" + usb.vendorId + ":" + usb.productId + ")";
        items.push_back(makeItem("USB device", spaced({usb.name, ids}), {},
                                 {{"Name", usb.name},
                                  {"Manufacturer", usb.manufacturer},
                                  {"Vendor ID", usb.vendorId},
                                  {"Product ID", usb.productId},
                                  {"Serial number", usb.serialNumber},
                                  {"Class", usb.deviceClass}}));
    }
}

void addPrinters(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Printer& printer : inventory.printers)
        items.push_back(makeItem("Printer", printer.name, {},
                                 {{"Name", printer.name},
                                  {"Driver", printer.driver},
                                  {"Port", printer.port},
                                  {"Resolution", printer.resolution},
                                  {"Network", yesNo(printer.network)},
                                  {"Shared", yesNo(printer.shared)},
                                  {"Share name", printer.shareName},
                                  {"Comment", printer.comment},
                                  {"Status", printerState(printer.status)}}));
}

// The item of `kind` (the machine's own parts are one each), made where the list has none.
InventoryItem& itemOfKind(std::vector<InventoryItem>& items, const std::string& kind) {
    auto found = std::find_if(items.begin(), items.end(), [&](const InventoryItem& item) { return item.kind == kind; });
    if (found != items.end()) return *found;
    items.push_back({kind, "", {}, {}});
    return items.back();
}

// Adds the properties that say something, in their order, before the item's `at`-th property
// (after its last where it has fewer).
void addTo(InventoryItem& item, std::initializer_list<ItemProperty> properties, std::size_t at = SIZE_MAX) {
    auto where = item.properties.begin() + static_cast<long>(std::min(at, item.properties.size()));
    for (const ItemProperty& property : properties)
        if (!property.text.empty()) where = item.properties.insert(where, property) + 1;
}

// Local accounts by their login or name; nothing of a password is in the inventory to show.
void addLocalUsers(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const LocalUser& user : inventory.localUsers)
        items.push_back(makeItem("Local user", user.login, {},
                                 {{"Full name", user.name}, {"ID", user.id}, {"Disabled", yesNo(user.disabled)}}));
}

void addLocalGroups(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const LocalGroup& group : inventory.localGroups)
        items.push_back(makeItem("Local group", group.name, {}, {{"ID", group.id}}));
}

void addAntivirus(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (const Antivirus& product : inventory.antivirus)
        items.push_back(makeItem("Antivirus", product.name, {},
                                 {{"Company", product.company},
                                  {"Version", product.version},
                                  {"Enabled", yesNo(product.enabled)},
                                  {"Up to date", yesNo(product.upToDate)}}));
}

// The comparison's items of the machine, with what the 38 fields show of it, which the
// comparison leaves to them.
void addMachine(const Inventory& inventory, std::vector<InventoryItem>& items) {
    std::vector<InventoryItem> parts = inventoryItems(inventory, InventoryKind::Computer);
    const ComputerIdentity& computer = inventory.computer;
    InventoryItem& machine = itemOfKind(parts, "Computer");
    addTo(machine, {{"Computer name", computer.name}, {"Domain", computer.domain}, {"Workgroup", computer.workgroup}},
          0);
    addTo(machine, {{"Memory", capacity(computer.memoryBytes)},
                    {"Device ID", computer.deviceId},
                    {"Virtual machine", computer.vmSystem},
                    {"Last logged-on user", computer.lastLoggedUser},
                    {"DNS servers", joined(dnsServerList(inventory))}});
    const OperatingSystemInfo& os = inventory.os;
    const std::string offset = os.utcOffsetMinutes ? std::to_string(*os.utcOffsetMinutes) + " minutes" : "";
    addTo(itemOfKind(parts, "Operating system"),
          {{"Kernel", os.kernelName}, {"Last boot", os.lastBoot}, {"UTC offset", offset}});
    for (InventoryItem& part : parts) items.push_back(std::move(part));
}

void addTemperatures(const Inventory& inventory, std::vector<InventoryItem>& items) {
    auto degrees = [](const std::optional<int>& celsius) {
        return celsius ? std::to_string(*celsius) + " \xC2\xB0""C" : std::string();
    };
    for (const TemperatureSensor& sensor : inventory.temperatures)
        items.push_back(
            makeItem("Temperature", sensor.name, {},
                     {{"Temperature", degrees(sensor.celsius)}, {"Critical", degrees(sensor.criticalCelsius)}}));
}

// A program's size as people read it: "640 KB", "12.5 MB", "1.2 GB".
std::string programSize(const Number& bytes) {
    if (!bytes) return {};
    const double kib = static_cast<double>(*bytes) / 1024.0;
    char text[32];
    if (kib < 1024)
        std::snprintf(text, sizeof text, "%.0f KB", kib);
    else if (kib < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", kib / 1024);
    else
        std::snprintf(text, sizeof text, "%.1f GB", kib / (1024 * 1024));
    return text;
}

// The comparison's programs, each with what the comparison leaves aside: when it was installed,
// its size, where it came from and where it lives.
void addSoftware(const Inventory& inventory, std::vector<InventoryItem>& items) {
    std::vector<InventoryItem> programs = inventoryItems(inventory, InventoryKind::Software);
    for (std::size_t i = 0; i < programs.size() && i < inventory.software.size(); ++i) {
        const Software& program = inventory.software[i];
        addTo(programs[i], {{"Installed", program.installDate},
                            {"Size", programSize(program.sizeBytes)},
                            {"Source", program.source},
                            {"Category", program.category},
                            {"Folder", program.folder},
                            {"Product code", program.guid}});
        items.push_back(std::move(programs[i]));
    }
}

// The items of a kind the comparison makes, as it makes and names them, so that its marks find
// them in the Details window.
template <InventoryKind kind>
void addCompared(const Inventory& inventory, std::vector<InventoryItem>& items) {
    for (InventoryItem& item : inventoryItems(inventory, kind)) items.push_back(std::move(item));
}

// How each kind of the inventory comes into the list.
struct Showing {
    void (*add)(const Inventory& inventory, std::vector<InventoryItem>& items) = nullptr;
    explicit operator bool() const { return add != nullptr; }
};
const KindHandler<Showing> kShown[] = {
    {InventoryKind::Computer, {addMachine}},
    {InventoryKind::Processor, {addCompared<InventoryKind::Processor>}},
    {InventoryKind::MemoryModule, {addCompared<InventoryKind::MemoryModule>}},
    {InventoryKind::Disk, {addCompared<InventoryKind::Disk>}},
    {InventoryKind::Volume, {addVolumes}},
    {InventoryKind::NetworkAdapter, {addCompared<InventoryKind::NetworkAdapter>}},
    {InventoryKind::VideoAdapter, {addCompared<InventoryKind::VideoAdapter>}},
    {InventoryKind::Monitor, {addCompared<InventoryKind::Monitor>}},
    {InventoryKind::Battery, {addCompared<InventoryKind::Battery>}},
    {InventoryKind::SoundDevice, {addSoundDevices}},
    {InventoryKind::Printer, {addPrinters}},
    {InventoryKind::InputDevice, {addInputs}},
    {InventoryKind::UsbDevice, {addUsbDevices}},
    {InventoryKind::Temperature, {addTemperatures}},
    {InventoryKind::Controller, {addCompared<InventoryKind::Controller>}},
    {InventoryKind::LocalUser, {addLocalUsers}},
    {InventoryKind::LocalGroup, {addLocalGroups}},
    {InventoryKind::Antivirus, {addAntivirus}},
    {InventoryKind::Software, {addSoftware}},
};

// The items of every kind, in the order the inventory lists its kinds. A kind the table above
// does not know yet shows as the comparison makes it.
std::vector<InventoryItem> allItems(const Inventory& inventory) {
    std::vector<InventoryItem> items;
    for (const InventoryKindInfo& kind : inventoryKinds()) {
        auto shown = std::find_if(std::begin(kShown), std::end(kShown),
                                  [&](const KindHandler<Showing>& entry) { return entry.kind == kind.kind; });
        if (shown != std::end(kShown) && shown->handle)
            shown->handle.add(inventory, items);
        else
            for (InventoryItem& item : inventoryItems(inventory, kind.kind)) items.push_back(std::move(item));
    }
    return items;
}

// A part of the machine (one each, no name) with no property tells nothing: the source knows
// nothing of it. Any other item is kept, so that the i-th of a kind is the inventory's i-th.
bool empty(const InventoryItem& item) { return item.properties.empty() && item.name.empty() && item.identity.empty(); }

}  // namespace

std::vector<KindCoverage> detailsKindCoverage() { return coverageOf(kShown); }

std::string itemTitle(const InventoryItem& item) {
    if (!item.name.empty()) return item.name;
    // The machine's own parts have no name of their own: what tells people which one it is.
    std::string what;
    for (const char* label : {"Manufacturer", "Model", "Product", "Name", "Version"})
        for (const ItemProperty& property : item.properties)
            if (property.label == label && what.find(property.text) == std::string::npos)
                what += (what.empty() ? "" : " ") + property.text;
    return what.empty() ? item.kind : item.kind + ": " + what;
}

std::size_t addToGroup(DetailsList& list, InventoryItem item) {
    auto named = std::find_if(std::begin(kGroups), std::end(kGroups), [&](const GroupKinds& g) {
        return std::find(g.kinds.begin(), g.kinds.end(), item.kind) != g.kinds.end();
    });
    const std::size_t rank = static_cast<std::size_t>(named - std::begin(kGroups));  // "Other" is last
    const char* title = named != std::end(kGroups) ? named->title : kOtherGroup;
    auto rankOf = [](const DetailsGroup& group) {
        auto at = std::find_if(std::begin(kGroups), std::end(kGroups),
                               [&](const GroupKinds& g) { return group.title == g.title; });
        return static_cast<std::size_t>(at - std::begin(kGroups));
    };
    auto group = std::find_if(list.begin(), list.end(), [&](const DetailsGroup& g) { return rankOf(g) >= rank; });
    if (group == list.end() || group->title != title) group = list.insert(group, {title, {}, {}});
    group->items.push_back(std::move(item));
    return static_cast<std::size_t>(group - list.begin());
}

DetailsList detailsList(const Inventory& inventory) {
    DetailsList list;
    for (InventoryItem& item : allItems(inventory))
        if (!empty(item)) addToGroup(list, std::move(item));
    // Where the disks have no health to show, why: once, beside their group's title.
    for (DetailsGroup& group : list)
        if (group.title == kDiskGroup) group.note = diskHealthNote(inventory);
    return list;
}

}  // namespace moravel
