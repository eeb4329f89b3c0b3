#include "providers/linux/system/block_disks.h"

namespace moravel::lx {
namespace {

bool isWholeDisk(const RootFs& fs, const std::string& name) {
    for (const char* skipped : {"loop", "ram", "zram", "dm-", "md", "sr", "nbd", "fd"})
        if (startsWith(name, skipped)) return false;
    return fs.numberOnce("/sys/block/" + name + "/size").value_or(0) > 0;
}

}  // namespace

std::vector<Disk> listDisks(const RootFs& fs) {
    std::vector<Disk> disks;
    for (const std::string& name : fs.listOnce("/sys/block"))
        if (isWholeDisk(fs, name)) disks.push_back({name, "/sys/block/" + name});
    return disks;
}

std::string interfaceType(const RootFs& fs, const Disk& disk) {
    std::string device = fs.resolvedOnce(disk.path);
    if (device.find("/usb") != std::string::npos) return "USB";
    if (device.find("/ata") != std::string::npos) return "IDE";
    return "SCSI";
}

std::optional<std::string> udevProperty(const LinuxContext& context, const Disk& disk, const std::string& key) {
    std::optional<std::string> numbers = context.fs.lineOnce(disk.path + "/dev");  // its record's id, fixed as the record is
    return numbers ? context.udev.value("b" + *numbers, key) : std::nullopt;
}

std::optional<std::string> diskSerial(const LinuxContext& context, const Disk& disk) {
    const RootFs& fs = context.fs;
    for (const char* file : {"/device/serial", "/serial"}) {
        if (std::optional<std::string> serial = fs.lineOnce(disk.path + file)) return serial;
    }
    if (std::optional<std::string> serial = udevProperty(context, disk, "ID_SERIAL_SHORT")) return serial;
    // The unit serial number page of SCSI and ATA disks: a 4-byte header, then the text.
    std::optional<std::string> page = fs.readOnce(disk.path + "/device/vpd_pg80");
    if (page && page->size() > 4) {
        std::string serial = trim(page->substr(4, static_cast<unsigned char>((*page)[3])));
        if (!serial.empty()) return serial;
    }
    return std::nullopt;
}

}  // namespace moravel::lx
