#include "providers/linux/system/disk_health.h"

#include <cstdlib>

namespace moravel::lx {
namespace {

// A temperature hwmon gives in millidegrees Celsius; nothing for one no disk can have.
std::optional<std::int64_t> milliCelsius(const RootFs& fs, const std::string& file) {
    std::optional<std::string> text = fs.line(file);
    if (!text) return std::nullopt;
    char* end = nullptr;
    long long value = std::strtoll(text->c_str(), &end, 10);
    if (end == text->c_str() || *end != '\0' || value < -60000 || value > 200000) return std::nullopt;
    return value;
}

// The hwmon device the kernel registers for the disk (nvme, drivetemp): below the device, or in
// its hwmon folder.
std::optional<std::int64_t> hwmonTemperature(const RootFs& fs, const std::string& device) {
    for (const std::string& folder : {device, device + "/hwmon", device + "/device", device + "/device/hwmon"})
        for (const std::string& entry : fs.list(folder))
            if (startsWith(entry, "hwmon"))
                if (std::optional<std::int64_t> value = milliCelsius(fs, folder + "/" + entry + "/temp1_input"))
                    return value;
    return std::nullopt;
}

bool isNvme(const Disk& disk) { return startsWith(disk.name, "nvme"); }

// The disk's own answer (root's), else what UDisks2 holds of it. ATA PASS-THROUGH goes to disks on
// an ATA controller only: some USB bridges hang on commands they do not know (UDisks2 knows which
// of them take it).
DiskAnswer ask(const LinuxContext& context, const Disk& disk, const std::string& device, DiskHealthRead& read) {
    DiskAnswer own = isNvme(disk)                               ? context.host.nvmeHealthLog(baseName(device))
                     : interfaceType(context.fs, disk) == "IDE" ? context.host.ataSmartData(disk.name)
                                                                : DiskAnswer();
    if (own.status == DiskAnswer::Status::Denied) read.denied = true;
    if (own.status == DiskAnswer::Status::Answered) return own;
    DiskAnswer service = context.host.udisksHealth(disk.name);
    return service.status == DiskAnswer::Status::Answered ? service : own;
}

}  // namespace

DiskHealthRead readDiskHealth(const LinuxContext& context, const Disk& disk) {
    DiskHealthRead read;
    const std::string device = context.fs.resolved(disk.path + "/device");
    if (isNvme(disk) || startsWith(disk.name, "sd")) {
        DiskAnswer answer = ask(context, disk, device, read);
        if (answer.status == DiskAnswer::Status::Answered && isNvme(disk)) {
            read.nvme = nvmeHealth(answer.data);
            if (read.nvme) read.failing = (read.nvme->criticalWarning & 0x1C) != 0;
        } else if (answer.status == DiskAnswer::Status::Answered && answer.data.size() >= 512) {
            read.smartData = answer.data;
            read.failing = answer.failing;
        }
    }
    if (read.answered()) read.denied = false;
    if (!device.empty()) read.milliCelsius = hwmonTemperature(context.fs, device);
    return read;
}

}  // namespace moravel::lx
