// Win32_CDROMDrive: the optical drives (/sys/block/sr*), with what they can read and write.
#include <sstream>

#include "providers/linux/classes/readers.h"
#include "query/wmi_query.h"

namespace moravel::lx {
namespace {

// One row of /proc/sys/dev/cdrom/info: "Can write DVD-R:" and a column per drive, in the
// order of the "drive name:" row.
std::optional<bool> capability(const std::string& info, const std::string& drive, const std::string& row) {
    std::istringstream lines(info);
    std::vector<std::string> drives;
    for (std::string line; std::getline(lines, line);) {
        std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::vector<std::string> columns = splitWords(line.substr(colon + 1));
        std::string key = line.substr(0, colon);
        if (key == "drive name") drives = columns;
        if (key != row) continue;
        for (std::size_t i = 0; i < drives.size() && i < columns.size(); ++i)
            if (drives[i] == drive) return columns[i] == "1";
    }
    return std::nullopt;
}

std::optional<std::string> mediaType(const RootFs& fs, const std::string& drive) {
    std::optional<std::string> info = fs.read("/proc/sys/dev/cdrom/info");
    if (!info) return std::nullopt;
    auto can = [&](const char* row) { return capability(*info, drive, row).value_or(false); };
    if (!capability(*info, drive, "Can read DVD")) return std::nullopt;  // the drive is not listed
    if (can("Can write DVD-R") || can("Can write DVD-RAM")) return std::string("DVD Writer");
    if (can("Can read DVD")) return std::string("DVD-ROM");
    if (can("Can write CD-R") || can("Can write CD-RW")) return std::string("CD Writer");
    return std::string("CD-ROM");
}

std::optional<std::string> driveName(const RootFs& fs, const std::string& drive) {
    std::optional<std::string> vendor = fs.line("/sys/block/" + drive + "/device/vendor");
    std::optional<std::string> model = fs.line("/sys/block/" + drive + "/device/model");
    if (!model) return vendor;
    return vendor ? *vendor + " " + *model : *model;
}

}  // namespace

ObjectList readCdromDrives(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const std::string& drive : context.fs.listOnce("/sys/block")) {
        if (drive.compare(0, 2, "sr") != 0) continue;
        newObject(objects)
            .add("Name", [fs, drive] { return stringOrNull(driveName(*fs, drive)); })
            .add("Caption", [fs, drive] { return stringOrNull(driveName(*fs, drive)); })
            .add("MediaType", [fs, drive] { return stringOrNull(mediaType(*fs, drive)); })
            .add("SystemName", [fs] { return stringOrNull(hostName(*fs)); })
            .add("Drive", [drive] { return WmiValue::string("/dev/" + drive); })
            .add("DeviceID", [drive] { return WmiValue::string(drive); })
            .add("FirmwareRevision",
                 [fs, drive] { return stringOrNull(fs->line("/sys/block/" + drive + "/device/rev")); })
            .add("MediaLoaded", [fs, drive] {
                return WmiValue::boolean(fs->number("/sys/block/" + drive + "/size").value_or(0) > 0);
            });
    }
    return objects;
}

}  // namespace moravel::lx
