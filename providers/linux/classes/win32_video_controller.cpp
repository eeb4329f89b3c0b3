// Win32_VideoController: the PCI display controllers (class 0x03), with the mode of the first
// connected screen of their DRM card.
#include <sstream>

#include "providers/linux/parsers/edid.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

constexpr std::uint64_t kMemoryResource = 0x200;  // IORESOURCE_MEM

// AdapterDACType as each vendor's Windows display driver reports it, so the VGA group picks on
// Linux the adapter it picks on Windows (Intel is the internal one beside a discrete card).
// Virtual adapters and other vendors have no entry: the property is absent, as it is on Windows
// for drivers that leave it empty.
struct VendorDacType {
    unsigned vendorId;
    const char* dacType;
};
const VendorDacType kDacTypes[] = {
    {0x8086, "Internal"},              // Intel
    {0x10de, "Integrated RAMDAC"},     // NVIDIA
    {0x1002, "Internal DAC(400MHz)"},  // AMD (ATI)
    {0x1022, "Internal DAC(400MHz)"},  // AMD
};

const char* dacTypeOf(const BusDevice& device) {
    for (const VendorDacType& known : kDacTypes)
        if (device.bus == "pci" && device.vendorId == known.vendorId) return known.dacType;
    return nullptr;
}

std::optional<std::string> chipName(const std::optional<std::string>& product) {
    if (!product) return std::nullopt;
    std::size_t bracket = product->find(" [");
    return bracket == std::string::npos ? product : product->substr(0, bracket);
}

// The card's memory: what amdgpu reports, else the largest memory window (BAR) it decodes.
// Today's cards hold more than a uint32 can: their size is answered whole, as decimal text.
std::optional<std::uint64_t> adapterRam(const RootFs& fs, const std::string& path) {
    if (std::optional<std::uint64_t> vram = fs.number(path + "/mem_info_vram_total")) return vram;
    std::optional<std::string> resources = fs.read(path + "/resource");
    if (!resources) return std::nullopt;
    std::istringstream lines(*resources);
    std::optional<std::uint64_t> largest;
    for (std::string start, end, flags; lines >> start >> end >> flags;) {
        std::uint64_t s = std::strtoull(start.c_str(), nullptr, 16), e = std::strtoull(end.c_str(), nullptr, 16);
        if (!(std::strtoull(flags.c_str(), nullptr, 16) & kMemoryResource) || e <= s) continue;
        largest = std::max(largest.value_or(0), e - s + 1);
    }
    return largest;
}

std::optional<std::string> driverVersion(const RootFs& fs, const std::string& path) {
    std::string driver = baseName(fs.resolved(path + "/driver"));
    if (driver.empty() || driver == "/") return std::nullopt;
    std::string module = baseName(fs.resolved(path + "/driver/module"));
    if (module.empty() || module == "/") module = driver;
    if (std::optional<std::string> version = fs.line("/sys/module/" + module + "/version")) return version;
    return fs.line("/proc/sys/kernel/osrelease");  // built with the kernel
}

// The EDID of the first connected connector of the controller's DRM card.
std::optional<std::string> connectedEdid(const RootFs& fs, const std::string& path, std::string& mode) {
    for (const std::string& card : fs.list(path + "/drm")) {
        if (card.compare(0, 4, "card") != 0) continue;
        for (const std::string& connector : fs.list(path + "/drm/" + card)) {
            std::string dir = path + "/drm/" + card + "/" + connector;
            if (connector.compare(0, card.size() + 1, card + "-") != 0 ||
                fs.line(dir + "/status") != std::optional<std::string>("connected"))
                continue;
            mode = fs.line(dir + "/modes").value_or("");
            return fs.read(dir + "/edid");
        }
    }
    return std::nullopt;
}

std::optional<std::string> videoMode(const RootFs& fs, const std::string& path) {
    std::string mode;
    connectedEdid(fs, path, mode);
    std::size_t x = mode.find('x');
    if (x == std::string::npos) return std::nullopt;
    std::string text = mode.substr(0, x) + " x " + mode.substr(x + 1);
    std::optional<std::uint64_t> bits = fs.number("/sys/class/graphics/fb0/bits_per_pixel");
    if (bits && *bits >= 8 && *bits <= 32) text += " x " + std::to_string(std::uint64_t{1} << *bits) + " colors";
    return text;
}

// Width or height of the connected screen's current (first listed) mode, "1920x1080".
std::optional<std::uint64_t> resolution(const RootFs& fs, const std::string& path, bool height) {
    std::string mode;
    connectedEdid(fs, path, mode);
    std::size_t x = mode.find('x');
    if (x == std::string::npos) return std::nullopt;
    return parseNumber(height ? mode.substr(x + 1, mode.find_first_not_of("0123456789", x + 1) - x - 1)
                              : mode.substr(0, x));
}

std::optional<std::uint64_t> refresh(const RootFs& fs, const std::string& path, bool highest) {
    std::string mode;
    std::optional<std::string> edid = connectedEdid(fs, path, mode);
    if (!edid) return std::nullopt;
    return highest ? edidMaxRefresh(*edid) : edidCurrentRefresh(*edid);
}

// `path` is the controller's directory, /sys/bus/pci/devices/<address>.
std::unique_ptr<LinuxObject> controllerObject(const LinuxContext& context, const std::string& path,
                                              const BusDevice& device, std::size_t index) {
    const LinuxContext* c = &context;
    const RootFs* fs = &context.fs;
    auto object = std::make_unique<LinuxObject>();
    object->add("Name", [c, device] { return stringOrNull(productName(*c, device)); })
        .add("Caption", [c, device] { return stringOrNull(productName(*c, device)); })
        .add("VideoProcessor", [c, device] { return stringOrNull(chipName(productName(*c, device))); })
        .add("AdapterCompatibility", [c, device] { return stringOrNull(vendorName(*c, device)); })
        .add("DeviceID", [index] { return WmiValue::string("VideoController" + std::to_string(index + 1)); })
        .add("AdapterRAM",
             [fs, path] {
                 std::optional<std::uint64_t> bytes = adapterRam(*fs, path);
                 return bytes && *bytes > 0xFFFFFFFFu ? uint64OrNull(bytes) : uint32OrNull(bytes);
             })
        .add("VideoModeDescription", [fs, path] { return stringOrNull(videoMode(*fs, path)); })
        .add("CurrentRefreshRate", [fs, path] { return uint32OrNull(refresh(*fs, path, false)); })
        .add("MaxRefreshRate", [fs, path] { return uint32OrNull(refresh(*fs, path, true)); })
        .add("DriverVersion", [fs, path] { return stringOrNull(driverVersion(*fs, path)); })
        .add("CurrentHorizontalResolution", [fs, path] { return uint32OrNull(resolution(*fs, path, false)); })
        .add("CurrentVerticalResolution", [fs, path] { return uint32OrNull(resolution(*fs, path, true)); })
        .addNull("DriverDate");  // Linux drivers carry no date
    if (const char* dacType = dacTypeOf(device))
        object->add("AdapterDACType", [dacType] { return WmiValue::string(dacType); });
    return object;
}

}  // namespace

ObjectList readVideoControllers(const LinuxContext& context) {
    ObjectList objects;
    // The PCI device list and classes are read once per process: every query of the class
    // would otherwise walk all devices again.
    for (const std::string& address : context.fs.listOnce("/sys/bus/pci/devices")) {
        std::string path = "/sys/bus/pci/devices/" + address;
        std::optional<std::uint64_t> pciClass = context.fs.numberOnce(path + "/class");
        if (!pciClass || (*pciClass >> 16) != 0x03) continue;
        std::optional<BusDevice> device = busDeviceOf(context.fs, path);
        if (!device) continue;
        objects.push_back(controllerObject(context, path, *device, objects.size()));
    }
    return objects;
}

}  // namespace moravel::lx
