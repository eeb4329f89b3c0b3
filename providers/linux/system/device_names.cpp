#include "providers/linux/system/device_names.h"

#include <libudev.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace moravel::lx {
namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// "0000:00:1f.2": domain, bus, slot and function of a PCI device directory.
bool isPciAddress(const std::string& name) {
    if (name.size() != 12) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        bool separator = i == 4 || i == 7 || i == 10;
        if (separator ? name[i] != (i == 10 ? '.' : ':') : !isHex(name[i])) return false;
    }
    return true;
}

// The kernel names a USB device by its bus and ports ("1-4", "3-1.2") or a root hub by its bus
// ("usb1"); other directories (interfaces, virtio, block devices) have no USB ids to read.
bool isUsbDeviceName(const std::string& name) {
    const char* digits = "0123456789";
    if (name.compare(0, 3, "usb") == 0)
        return name.size() > 3 && name.find_first_not_of(digits, 3) == std::string::npos;
    std::size_t dash = name.find('-');
    return dash != 0 && dash != std::string::npos && name.find_first_not_of(digits) == dash &&
           name.find(':') == std::string::npos;
}

std::optional<unsigned> hexFile(const RootFs& fs, const std::string& rel) {
    std::optional<std::string> text = fs.lineOnce(rel);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    unsigned long value = std::strtoul(text->c_str(), &end, 16);
    if (*end != '\0') return std::nullopt;
    return static_cast<unsigned>(value);
}

std::string parentOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

const char* const kIdsDirectories[] = {"/usr/share/misc/", "/usr/share/hwdata/", "/var/lib/usbutils/", "/usr/share/"};

// Reads one "XXXX  Name" line: the id and the name, or false for other lines.
bool idLine(const std::string& line, std::size_t indent, unsigned& id, std::string& name) {
    if (line.size() < indent + 6) return false;
    for (std::size_t i = 0; i < indent; ++i)
        if (line[i] != '\t') return false;
    for (std::size_t i = indent; i < indent + 4; ++i)
        if (!isHex(line[i])) return false;
    if (line[indent + 4] != ' ') return false;
    id = static_cast<unsigned>(std::stoul(line.substr(indent, 4), nullptr, 16));
    name = trim(line.substr(indent + 5));
    return true;
}

// RAII for the udev context and its hardware database.
class Hwdb {
public:
    Hwdb() : udev_(udev_new(), &udev_unref), hwdb_(udev_ ? udev_hwdb_new(udev_.get()) : nullptr, &udev_hwdb_unref) {}

    bool usable() const { return hwdb_ != nullptr; }
    // Every property the database gives the modalias ("ID_VENDOR_FROM_DATABASE", ...).
    std::map<std::string, std::string> properties(const std::string& modalias) const {
        std::map<std::string, std::string> found;
        udev_list_entry* entry =
            hwdb_ ? udev_hwdb_get_properties_list_entry(hwdb_.get(), modalias.c_str(), 0) : nullptr;
        for (; entry; entry = udev_list_entry_get_next(entry))
            found.emplace(udev_list_entry_get_name(entry), udev_list_entry_get_value(entry));
        return found;
    }

private:
    std::unique_ptr<udev, decltype(&udev_unref)> udev_;  // given back after the database
    std::unique_ptr<udev_hwdb, decltype(&udev_hwdb_unref)> hwdb_;
};

// "pci:v00008086d00001E31*", "usb:v0781p5567*"; the vendor's alone without a product.
std::string modalias(const std::string& bus, unsigned vendorId, const unsigned* productId) {
    const bool pci = bus == "pci";
    char vendor[32], product[16] = "";
    std::snprintf(vendor, sizeof vendor, pci ? "pci:v%08X" : "usb:v%04X", vendorId);
    if (productId) std::snprintf(product, sizeof product, pci ? "d%08X" : "p%04X", *productId);
    return std::string(vendor) + product + "*";
}

// The hardware database when the machine has one, else the ids lists. A device's name cannot
// change while the process runs, so the database is opened once and each answer kept.
class SystemDeviceNames : public DeviceNames {
public:
    std::optional<std::string> vendor(const std::string& bus, unsigned vendorId) const override {
        return kept(modalias(bus, vendorId, nullptr), "ID_VENDOR_FROM_DATABASE",
                    [&] { return files_.vendor(bus, vendorId); });
    }
    std::optional<std::string> product(const std::string& bus, unsigned vendorId, unsigned productId) const override {
        return kept(modalias(bus, vendorId, &productId), "ID_MODEL_FROM_DATABASE",
                    [&] { return files_.product(bus, vendorId, productId); });
    }
    // The device's own entry names its maker too: the look-up its product takes, where a
    // vendor's alone walks far more of the database (a third of a millisecond, the first time).
    std::optional<std::string> deviceVendor(const std::string& bus, unsigned vendorId,
                                            unsigned productId) const override {
        std::optional<std::string> name = kept(modalias(bus, vendorId, &productId), "ID_VENDOR_FROM_DATABASE",
                                               [&] { return files_.vendor(bus, vendorId); });
        return name ? name : vendor(bus, vendorId);
    }

private:
    // One look-up keeps every name the database gives the alias.
    template <typename FromFiles>
    std::optional<std::string> kept(const std::string& alias, const std::string& key, FromFiles fromFiles) const {
        const std::string slot = alias + " " + key;
        auto found = names_.find(slot);
        if (found != names_.end()) return found->second;
        if (!hwdb_) hwdb_ = std::make_unique<Hwdb>();
        if (!hwdb_->usable()) return names_[slot] = fromFiles();
        for (const auto& [name, value] : hwdb_->properties(alias)) names_[alias + " " + name] = value;
        return names_[slot];
    }

    IdsFileNames files_{RootFs("/")};
    mutable std::unique_ptr<Hwdb> hwdb_;                               // opened on the first look-up
    mutable std::map<std::string, std::optional<std::string>> names_;  // by modalias and property
};

}  // namespace

std::optional<std::string> IdsFileNames::vendor(const std::string& bus, unsigned vendorId) const {
    return lookUp(bus, vendorId, nullptr);
}

std::optional<std::string> IdsFileNames::product(const std::string& bus, unsigned vendorId, unsigned productId) const {
    return lookUp(bus, vendorId, &productId);
}

std::optional<std::string> IdsFileNames::lookUp(const std::string& bus, unsigned vendorId,
                                                const unsigned* productId) const {
    std::ifstream in;
    for (const char* directory : kIdsDirectories) {
        // Only a regular file within the provider's cap: never a FIFO or a device that never ends.
        std::string path = fs_.path(std::string(directory) + bus + ".ids");
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > kMaxFileBytes)
            continue;
        in.open(path);
        if (in) break;
        in.clear();
    }
    if (!in) return std::nullopt;
    bool inVendor = false;
    unsigned id = 0;
    std::string name;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (idLine(line, 0, id, name)) {
            if (inVendor || id > vendorId) return std::nullopt;  // past the vendor's block
            if (id != vendorId) continue;
            if (!productId) return name;
            inVendor = true;
        } else if (inVendor && idLine(line, 1, id, name) && id == *productId) {
            return name;
        } else if (line[0] != '\t') {
            if (inVendor) return std::nullopt;  // a class or language section follows the vendors
        }
    }
    return std::nullopt;
}

std::unique_ptr<DeviceNames> makeSystemDeviceNames() { return std::make_unique<SystemDeviceNames>(); }

std::optional<BusDevice> busDeviceOf(const RootFs& fs, const std::string& devicePath) {
    // A device's place and ids are fixed for the process: read once.
    std::string start = fs.resolvedOnce(devicePath);
    for (std::string dir = start; dir.size() > 1; dir = parentOf(dir)) {
        if (dir == "/sys/devices") break;
        if (isPciAddress(baseName(dir))) {
            std::optional<std::uint64_t> vendorId = fs.numberOnce(dir + "/vendor");
            std::optional<std::uint64_t> productId = fs.numberOnce(dir + "/device");
            if (vendorId && productId)
                return BusDevice{"pci", dir, static_cast<unsigned>(*vendorId), static_cast<unsigned>(*productId)};
        }
        if (!isUsbDeviceName(baseName(dir))) continue;
        std::optional<unsigned> usbVendor = hexFile(fs, dir + "/idVendor");
        std::optional<unsigned> usbProduct = hexFile(fs, dir + "/idProduct");
        if (usbVendor && usbProduct) return BusDevice{"usb", dir, *usbVendor, *usbProduct};
    }
    return std::nullopt;
}

std::optional<std::string> vendorName(const LinuxContext& context, const BusDevice& device) {
    return context.names.deviceVendor(device.bus, device.vendorId, device.productId);
}

std::optional<std::string> productName(const LinuxContext& context, const BusDevice& device) {
    return context.names.product(device.bus, device.vendorId, device.productId);
}

}  // namespace moravel::lx
