// Win32_LogicalDisk: one object per mounted file system (pseudo file systems left out, bind
// mounts of the same device counted once), the mount point standing for the drive letter.
#include <algorithm>
#include <set>
#include <sstream>

#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

enum DriveType : std::uint64_t { kRemovable = 2, kLocal = 3, kNetwork = 4, kOptical = 5, kRamDisk = 6 };

struct Mount {
    std::string device;
    std::string mountPoint;
    std::string type;
    std::uint64_t driveType = kLocal;
};

const std::set<std::string> kNetworkTypes = {"nfs", "nfs4", "cifs",      "smb3",       "smbfs", "ncpfs",
                                             "afs", "ceph", "glusterfs", "fuse.sshfs", "davfs", "fuse.davfs"};

// /proc/mounts writes blanks, tabs, line ends and backslashes as three octal digits.
std::string unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::all_of(field.begin() + static_cast<long>(i) + 1, field.begin() + static_cast<long>(i) + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool isRemovable(const RootFs& fs, const std::string& device) {
    std::string block = "/sys/class/block/" + baseName(device);
    std::string disk = fs.existsOnce(block + "/partition") ? block + "/.." : block;
    return fs.numberOnce(disk + "/removable").value_or(0) != 0;
}

std::optional<std::uint64_t> driveTypeOf(const RootFs& fs, const Mount& mount) {
    if (kNetworkTypes.count(mount.type)) return kNetwork;
    if (mount.device.rfind("/dev/", 0) != 0) {
        // A container's root (overlay and the like) is still its system drive.
        if (mount.mountPoint == "/") return kLocal;
        return std::nullopt;
    }
    std::string name = baseName(mount.device);
    if (name.rfind("sr", 0) == 0 || mount.type == "iso9660" || mount.type == "udf") return kOptical;
    if (name.rfind("zram", 0) == 0 || name.rfind("ram", 0) == 0) return kRamDisk;
    return isRemovable(fs, mount.device) ? kRemovable : kLocal;
}

std::vector<Mount> mountsOf(const RootFs& fs, const std::optional<std::string>& table) {
    std::vector<Mount> mounts;
    if (!table) return mounts;
    std::istringstream lines(*table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Mount mount;
        if (!(fields >> mount.device >> mount.mountPoint >> mount.type)) continue;
        mount.device = unescape(mount.device);
        mount.mountPoint = unescape(mount.mountPoint);
        std::optional<std::uint64_t> type = driveTypeOf(fs, mount);
        // Files bind-mounted into containers (/etc/hosts and the like) are no drives.
        if (!type || fs.isFile(mount.mountPoint)) continue;
        mount.driveType = *type;
        auto same =
            std::find_if(mounts.begin(), mounts.end(), [&](const Mount& m) { return m.device == mount.device; });
        if (same == mounts.end())
            mounts.push_back(mount);
        else if (mount.mountPoint.size() < same->mountPoint.size())
            same->mountPoint = mount.mountPoint;
    }
    return mounts;
}

// The mount table is read on every query; what is made of it (drive types, bind mounts) is kept
// while it reads the same.
std::shared_ptr<const std::vector<Mount>> listMounts(const RootFs& fs) {
    std::optional<std::string> table = fs.read("/proc/self/mounts");
    return fs.keptWhile<std::vector<Mount>>("/proc/self/mounts", table.value_or(""),
                                            [&] { return mountsOf(fs, table); });
}

const char* description(std::uint64_t driveType) {
    switch (driveType) {
    case kRemovable: return "Removable Disk";
    case kNetwork: return "Network Connection";
    case kOptical: return "CD-ROM Disc";
    case kRamDisk: return "RAM Disk";
    default: return "Local Fixed Disk";
    }
}

// What udev recorded of the file system on the mount's block device: its label, its UUID.
std::optional<std::string> fileSystemValue(const LinuxContext& context, const Mount& mount, const char* key) {
    if (mount.device.compare(0, 5, "/dev/") != 0) return std::nullopt;
    std::optional<std::string> numbers = context.fs.lineOnce("/sys/class/block/" + baseName(mount.device) + "/dev");
    return numbers ? context.udev.value("b" + *numbers, key) : std::nullopt;
}

}  // namespace

ObjectList readLogicalDisks(const LinuxContext& context) {
    ObjectList objects;
    const HostFacts* host = &context.host;
    const LinuxContext* c = &context;
    for (const Mount& mount : *listMounts(context.fs)) {
        // statvfs on an unreachable network share can block for minutes: no sizes for those.
        bool network = mount.driveType == kNetwork;
        newObject(objects)
            .add("DeviceID", [mount] { return WmiValue::string(mount.mountPoint); })
            .add("Name", [mount] { return WmiValue::string(mount.mountPoint); })
            .add("Caption", [mount] { return WmiValue::string(mount.mountPoint); })
            .add("DriveType", [mount] { return uint32OrNull(mount.driveType); })
            .add("Description", [mount] { return WmiValue::string(description(mount.driveType)); })
            .add("FileSystem", [mount] { return WmiValue::string(mount.type); })
            .add("ProviderName",
                 [mount, network] { return network ? WmiValue::string(mount.device) : WmiValue::null(); })
            .add("FreeSpace",
                 [host, mount, network] {
                     return network ? WmiValue::null() : uint64OrNull(host->freeBytes(mount.mountPoint));
                 })
            .add("Size",
                 [host, mount, network] {
                     return network ? WmiValue::null() : uint64OrNull(host->sizeBytes(mount.mountPoint));
                 })
            .add("VolumeName", [c, mount] { return stringOrNull(fileSystemValue(*c, mount, "ID_FS_LABEL")); })
            .add("VolumeSerialNumber", [c, mount] { return stringOrNull(fileSystemValue(*c, mount, "ID_FS_UUID")); });
    }
    return objects;
}

}  // namespace moravel::lx
