// Win32_DiskDrive and Win32_PhysicalMedia: the whole disks, with the geometry Windows reports
// for every disk (255 heads, 63 sectors per track); MSFT_Disk: the same disks by the names Linux
// gives them, with their true size.
#include <sstream>

#include "providers/linux/system/block_disks.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

constexpr std::uint64_t kHeads = 255;
constexpr std::uint64_t kSectorsPerTrack = 63;

struct Geometry {
    std::uint64_t bytesPerSector = 512;
    std::uint64_t cylinders = 0;
    std::uint64_t tracks() const { return cylinders * kHeads; }
    std::uint64_t sectors() const { return tracks() * kSectorsPerTrack; }
    std::uint64_t size() const { return sectors() * bytesPerSector; }
};

Geometry geometry(const RootFs& fs, const Disk& disk) {
    Geometry g;
    g.bytesPerSector = fs.numberOnce(disk.path + "/queue/logical_block_size").value_or(512);
    if (g.bytesPerSector == 0) g.bytesPerSector = 512;
    std::uint64_t bytes = fs.numberOnce(disk.path + "/size").value_or(0) * 512;  // always 512-byte units
    g.cylinders = bytes / g.bytesPerSector / (kHeads * kSectorsPerTrack);
    return g;
}

std::optional<std::string> model(const LinuxContext& context, const Disk& disk) {
    if (std::optional<std::string> full = udevProperty(context, disk, "ID_MODEL_ENC")) return full;
    if (std::optional<std::string> own = context.fs.lineOnce(disk.path + "/device/model")) return own;
    // virtio and the like name no model: the controller's own product name then
    std::optional<BusDevice> device = busDeviceOf(context.fs, disk.path + "/device");
    return device ? productName(context, *device) : std::nullopt;
}

// As Windows writes it: the model, for USB disks with the vendor and " USB Device".
std::optional<std::string> caption(const LinuxContext& context, const Disk& disk) {
    std::optional<std::string> name = model(context, disk);
    if (!name || interfaceType(context.fs, disk) != "USB") return name;
    std::optional<std::string> vendor = context.fs.lineOnce(disk.path + "/device/vendor");
    return (vendor ? *vendor + " " : std::string()) + *name + " USB Device";
}

std::optional<std::string> firmwareRevision(const LinuxContext& context, const Disk& disk) {
    for (const char* file : {"/device/firmware_rev", "/device/rev"}) {
        if (std::optional<std::string> revision = context.fs.lineOnce(disk.path + file)) return revision;
    }
    return udevProperty(context, disk, "ID_REVISION");
}

// Whether a file system is mounted from the disk itself: by its device numbers, or (btrfs
// reports numbers of its own) by its device name.
bool mountedWhole(const RootFs& fs, const Disk& disk) {
    std::optional<std::string> numbers = fs.lineOnce(disk.path + "/dev");
    std::optional<std::string> table = fs.read("/proc/self/mountinfo");
    if (!numbers || !table) return false;
    std::istringstream lines(*table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, word;
        if (!(fields >> id >> parent >> device)) continue;
        if (device == *numbers) return true;
        while (fields >> word && word != "-") {}
        std::string type, source;
        if (fields >> type >> source && source == "/dev/" + disk.name) return true;
    }
    return false;
}

// A disk without a partition table that holds a file system itself counts as one partition,
// as Windows counts such a disk.
std::uint64_t partitionCount(const RootFs& fs, const Disk& disk) {
    std::uint64_t count = 0;
    for (const std::string& entry : fs.listOnce(disk.path))  // partitions are named after their disk
        if (entry.rfind(disk.name, 0) == 0 && fs.existsOnce(disk.path + "/" + entry + "/partition")) ++count;
    return count == 0 && mountedWhole(fs, disk) ? 1 : count;
}

std::string mediaType(const LinuxContext& context, const Disk& disk) {
    if (interfaceType(context.fs, disk) == "USB") return "External hard disk media";
    if (context.fs.numberOnce(disk.path + "/removable").value_or(0) != 0) return "Removable Media";
    return "Fixed hard disk media";
}

std::string physicalDrive(std::size_t index) { return "\\\\.\\PHYSICALDRIVE" + std::to_string(index); }

// Words of a device instance path: blanks become underscores, as Windows writes them.
std::string instanceWord(std::string text) {
    for (char& ch : text)
        if (ch == ' ') ch = '_';
    return text;
}

}  // namespace

// Windows' device instance path tells NVMe, USB and virtio disks apart where InterfaceType does not.
std::string diskInstancePath(const LinuxContext& context, const Disk& disk) {
    const RootFs& fs = context.fs;
    std::string product = instanceWord(model(context, disk).value_or(""));
    std::string vendor = instanceWord(fs.lineOnce(disk.path + "/device/vendor").value_or(""));
    if (disk.name.compare(0, 4, "nvme") == 0) return "SCSI\\DISK&VEN_NVME&PROD_" + product + "\\" + disk.name;
    if (disk.name.compare(0, 2, "vd") == 0) return "SCSI\\DISK&VEN_RED_HAT&PROD_VIRTIO\\" + disk.name;
    if (interfaceType(fs, disk) == "USB")
        return "USBSTOR\\DISK&VEN_" + vendor + "&PROD_" + product + "\\" +
               diskSerial(context, disk).value_or(disk.name);
    return "SCSI\\DISK&VEN_" + vendor + "&PROD_" + product + "\\" + disk.name;
}

namespace {

std::unique_ptr<LinuxObject> diskObject(const LinuxContext& context, const Disk& disk, std::size_t index) {
    const LinuxContext* c = &context;
    const RootFs* fs = &context.fs;
    auto object = std::make_unique<LinuxObject>();
    object->add("InterfaceType", [fs, disk] { return WmiValue::string(interfaceType(*fs, disk)); })
        .add("Caption", [c, disk] { return stringOrNull(caption(*c, disk)); })
        .add("Model", [c, disk] { return stringOrNull(caption(*c, disk)); })
        .add("DeviceID", [index] { return WmiValue::string(physicalDrive(index)); })
        .add("Name", [index] { return WmiValue::string(physicalDrive(index)); })
        .add("Index", [index] { return uint32OrNull(index); })
        .add("MediaType", [c, disk] { return WmiValue::string(mediaType(*c, disk)); })
        .add("SerialNumber", [c, disk] { return stringOrNull(diskSerial(*c, disk)); })
        .add("FirmwareRevision", [c, disk] { return stringOrNull(firmwareRevision(*c, disk)); })
        .add("Partitions", [fs, disk] { return uint32OrNull(partitionCount(*fs, disk)); })
        .add("BytesPerSector", [fs, disk] { return uint32OrNull(geometry(*fs, disk).bytesPerSector); })
        .add("SectorsPerTrack", [] { return uint32OrNull(kSectorsPerTrack); })
        .add("TracksPerCylinder", [] { return uint32OrNull(kHeads); })
        .add("TotalHeads", [] { return uint32OrNull(kHeads); })
        .add("TotalCylinders", [fs, disk] { return uint64OrNull(geometry(*fs, disk).cylinders); })
        .add("TotalTracks", [fs, disk] { return uint64OrNull(geometry(*fs, disk).tracks()); })
        .add("TotalSectors", [fs, disk] { return uint64OrNull(geometry(*fs, disk).sectors()); })
        .add("Size", [fs, disk] { return uint64OrNull(geometry(*fs, disk).size()); })
        .add("PNPDeviceID", [c, disk] { return WmiValue::string(diskInstancePath(*c, disk)); })
        .addNull("Manufacturer");
    return object;
}

}  // namespace

ObjectList readDiskDrives(const LinuxContext& context) {
    ObjectList objects;
    for (const Disk& disk : listDisks(context.fs)) objects.push_back(diskObject(context, disk, objects.size()));
    return objects;
}

ObjectList readPhysicalMedia(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const Disk& disk : listDisks(context.fs)) {
        std::size_t index = objects.size();
        newObject(objects)
            .add("SerialNumber", [c, disk] { return stringOrNull(diskSerial(*c, disk)); })
            .add("Tag", [index] { return WmiValue::string(physicalDrive(index)); })
            .addNull("Manufacturer")
            .addNull("Model");
    }
    return objects;
}

// Number is Win32_DiskDrive's Index, as on Windows; Path the device file.
ObjectList readDisks(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const Disk& disk : listDisks(context.fs)) {
        std::size_t index = objects.size();
        newObject(objects)
            .add("Number", [index] { return uint32OrNull(index); })
            .add("Path", [disk] { return WmiValue::string("/dev/" + disk.name); })
            .add("Size", [fs, disk] {
                std::optional<std::uint64_t> sectors = fs->number(disk.path + "/size");  // always 512-byte units
                return uint64OrNull(sectors ? std::optional<std::uint64_t>(*sectors * 512) : std::nullopt);
            });
    }
    return objects;
}

}  // namespace moravel::lx
