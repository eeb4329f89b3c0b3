// WmiMonitorID and WmiMonitorBasicDisplayParams (ROOT\WMI): the connected screens of the DRM
// connectors, named from their EDID as Windows names them. Texts are arrays of character codes
// padded with zeros, as WmiMonitorID holds them.
#include "providers/linux/parsers/edid_identity.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

struct Screen {
    std::string connector;  // "card0-DP-1"
    EdidIdentity identity;
};

// Connectors as /sys/class/drm lists them, else under each display device's DRM cards.
std::vector<std::string> connectorDirs(const RootFs& fs) {
    std::vector<std::string> dirs;
    for (const std::string& entry : fs.list("/sys/class/drm"))
        if (entry.compare(0, 4, "card") == 0 && entry.find('-') != std::string::npos)
            dirs.push_back("/sys/class/drm/" + entry);
    if (!dirs.empty()) return dirs;
    for (const std::string& address : fs.listOnce("/sys/bus/pci/devices")) {
        std::string device = "/sys/bus/pci/devices/" + address;
        for (const std::string& card : fs.list(device + "/drm"))
            for (const std::string& connector : fs.list(device + "/drm/" + card))
                if (connector.compare(0, card.size() + 1, card + "-") == 0)
                    dirs.push_back(device + "/drm/" + card + "/" + connector);
    }
    return dirs;
}

std::vector<Screen> connectedScreens(const RootFs& fs) {
    std::vector<Screen> screens;
    for (const std::string& dir : connectorDirs(fs)) {
        if (fs.line(dir + "/status") != std::optional<std::string>("connected")) continue;
        std::optional<std::string> edid = fs.read(dir + "/edid", 32768);
        if (std::optional<EdidIdentity> identity = edid ? edidIdentity(*edid) : std::nullopt)
            screens.push_back({baseName(dir), *identity});
    }
    return screens;
}

WmiValue characterCodes(const std::string& text, std::size_t length) {
    std::vector<std::string> codes;
    for (unsigned char c : text.substr(0, length)) codes.push_back(std::to_string(c));
    codes.resize(length, "0");
    return WmiValue::array(vt::I4, codes);
}

// "DISPLAY\DELA1A4\card0-DP-1_0", the form of Windows' instance names.
std::string instanceName(const Screen& screen) {
    return "DISPLAY\\" + screen.identity.maker + screen.identity.productCode + "\\" + screen.connector + "_0";
}

// One object per connected screen, each with its instance name first.
template <typename AddProperties>
ObjectList perScreen(const LinuxContext& context, AddProperties add) {
    ObjectList objects;
    for (const Screen& screen : connectedScreens(context.fs)) {
        LinuxObject& object = newObject(objects);
        std::string instance = instanceName(screen);
        object.add("InstanceName", [instance] { return WmiValue::string(instance); }).add("Active", [] {
            return WmiValue::boolean(true);
        });
        add(object, screen.identity);
    }
    return objects;
}

WmiValue byte(std::optional<std::uint64_t> value) {  // uint8, as WMI types it
    return WmiValue::integerOf(vt::UI1, static_cast<std::int64_t>(value.value_or(0)));
}

}  // namespace

ObjectList readMonitorIds(const LinuxContext& context) {
    return perScreen(context, [](LinuxObject& object, const EdidIdentity& identity) {
        object.add("ManufacturerName", [identity] { return characterCodes(identity.maker, 16); })
            .add("ProductCodeID", [identity] { return characterCodes(identity.productCode, 16); })
            .add("SerialNumberID", [identity] { return characterCodes(identity.serial, 16); })
            .add("UserFriendlyName", [identity] { return characterCodes(identity.name, 13); })
            .add("WeekOfManufacture", [identity] { return byte(identity.week); })
            .add("YearOfManufacture", [identity] { return uint32OrNull(identity.year.value_or(0)); });
    });
}

ObjectList readMonitorDisplayParams(const LinuxContext& context) {
    return perScreen(context, [](LinuxObject& object, const EdidIdentity& identity) {
        object.add("MaxHorizontalImageSize", [identity] { return byte(identity.widthCm); })
            .add("MaxVerticalImageSize", [identity] { return byte(identity.heightCm); });
    });
}

}  // namespace moravel::lx
