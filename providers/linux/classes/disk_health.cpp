// MSFT_PhysicalDisk and MSFT_StorageReliabilityCounter (ROOT\Microsoft\Windows\Storage),
// MSStorageDriver_FailurePredictStatus and MSStorageDriver_FailurePredictData (ROOT\WMI): the
// disks of Win32_DiskDrive, in its order, with what they say of their health. A disk is asked
// only when one of these classes is, so the report's groups never wait for a disk.
#include <memory>

#include "providers/linux/system/disk_health.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

// MSFT_PhysicalDisk's codes.
constexpr std::uint64_t kUnspecified = 0, kHardDisk = 3, kSolidState = 4;
constexpr std::uint64_t kBusScsi = 1, kBusUsb = 7, kBusSata = 11, kBusSd = 12, kBusNvme = 17;
constexpr std::uint64_t kHealthy = 0, kWarning = 1, kUnhealthy = 2;

// A disk's health, read once for all the properties of one object.
using SharedRead = std::shared_ptr<const DiskHealthRead>;
std::function<SharedRead()> lazyRead(const LinuxContext* context, const Disk& disk) {
    auto kept = std::make_shared<SharedRead>();
    return [context, disk, kept] {
        if (!*kept) *kept = std::make_shared<const DiskHealthRead>(readDiskHealth(*context, disk));
        return *kept;
    };
}

std::uint64_t busType(const RootFs& fs, const Disk& disk) {
    if (startsWith(disk.name, "nvme")) return kBusNvme;
    if (startsWith(disk.name, "mmcblk")) return kBusSd;
    std::string type = interfaceType(fs, disk);
    return type == "USB" ? kBusUsb : type == "IDE" ? kBusSata : kBusScsi;
}

std::uint64_t mediaType(const RootFs& fs, const Disk& disk) {
    if (startsWith(disk.name, "vd") || startsWith(disk.name, "xvd")) return kUnspecified;
    return fs.number(disk.path + "/queue/rotational").value_or(0) != 0 ? kHardDisk : kSolidState;
}

// Failing when the drive says so or an NVMe drive warns of its reliability, read-only media or
// backup; a warning for spare below its threshold, heat, or a drive past its rated life.
std::optional<std::uint64_t> healthStatus(const DiskHealthRead& read) {
    if (!read.answered()) return std::nullopt;
    if (read.failing.value_or(false)) return kUnhealthy;
    if (read.nvme && (read.nvme->criticalWarning & 0x03 || read.nvme->percentageUsed >= 100)) return kWarning;
    return kHealthy;
}

std::optional<std::uint64_t> celsius(const DiskHealthRead& read) {
    if (read.nvme && read.nvme->temperatureKelvin && *read.nvme->temperatureKelvin >= 273)
        return *read.nvme->temperatureKelvin - 273;
    if (read.milliCelsius && *read.milliCelsius >= 0) return static_cast<std::uint64_t>(*read.milliCelsius / 1000);
    return std::nullopt;
}

template <typename Value>
std::optional<std::uint64_t> ofNvme(const DiskHealthRead& read, Value NvmeHealth::*value) {
    if (!read.nvme) return std::nullopt;
    return std::optional<std::uint64_t>(read.nvme.value().*value);
}

WmiValue uint8OrNull(const std::optional<std::uint64_t>& number) {
    if (!number || *number > 255) return WmiValue::null();
    return WmiValue::integerOf(vt::UI1, static_cast<std::int64_t>(*number));
}

WmiValue byteArray(const std::string& data) {
    std::vector<std::string> items;
    for (char byte : data) items.push_back(std::to_string(static_cast<unsigned char>(byte)));
    return WmiValue::array(vt::UI1, std::move(items));
}

// One object per disk that `keep` takes (every disk without it, its health not read for that),
// each made by `add` with the disk's lazily read health.
template <typename Add>
ObjectList perDisk(const LinuxContext& context, bool (*keep)(const DiskHealthRead&), Add add) {
    ObjectList objects;
    std::size_t index = 0;
    for (const Disk& disk : listDisks(context.fs)) {
        auto read = lazyRead(&context, disk);
        if (!keep || keep(*read())) add(newObject(objects), disk, index, read);
        ++index;
    }
    return objects;
}

}  // namespace

ObjectList readPhysicalDisks(const LinuxContext& context) {
    const LinuxContext* c = &context;
    const RootFs* fs = &context.fs;
    return perDisk(context, nullptr, [c, fs](LinuxObject& object, const Disk& disk, std::size_t index, auto read) {
        object.add("DeviceId", [index] { return WmiValue::string(std::to_string(index)); })
            .add("FriendlyName", [fs, disk] { return stringOrNull(fs->line(disk.path + "/device/model")); })
            .add("SerialNumber", [c, disk] { return stringOrNull(diskSerial(*c, disk)); })
            .add("MediaType", [fs, disk] { return uint32OrNull(mediaType(*fs, disk)); })
            .add("BusType", [fs, disk] { return uint32OrNull(busType(*fs, disk)); })
            .add("HealthStatus", [read] { return uint32OrNull(healthStatus(*read())); });
    });
}

// NVMe has no start/stop or read error counters of its own: its power cycles and its media and
// data integrity errors are the nearest, and stand in for them.
ObjectList readReliabilityCounters(const LinuxContext& context) {
    auto any = [](const DiskHealthRead& read) { return read.nvme || read.milliCelsius; };
    return perDisk(context, any, [](LinuxObject& object, const Disk&, std::size_t index, auto read) {
        object.add("DeviceId", [index] { return WmiValue::string(std::to_string(index)); })
            .add("Temperature", [read] { return uint8OrNull(celsius(*read())); })
            .add("Wear", [read] { return uint8OrNull(ofNvme(*read(), &NvmeHealth::percentageUsed)); })
            .add("PowerOnHours", [read] { return uint32OrNull(ofNvme(*read(), &NvmeHealth::powerOnHours)); })
            .add("StartStopCycleCount", [read] { return uint32OrNull(ofNvme(*read(), &NvmeHealth::powerCycles)); })
            .add("ReadErrorsUncorrected", [read] { return uint64OrNull(ofNvme(*read(), &NvmeHealth::mediaErrors)); });
    });
}

// Listed only where the program may ask every disk; otherwise refused, as Windows refuses a
// program that is not elevated, so readers know the health they lack needs more rights.
std::optional<HResult> failurePredictionAccess(const LinuxContext& context) {
    for (const Disk& disk : listDisks(context.fs))
        if (readDiskHealth(context, disk).denied) return kAccessDenied;
    return std::nullopt;
}

ObjectList readFailurePredictStatus(const LinuxContext& context) {
    const LinuxContext* c = &context;
    auto judged = [](const DiskHealthRead& read) { return read.failing.has_value(); };
    return perDisk(context, judged, [c](LinuxObject& object, const Disk& disk, std::size_t, auto read) {
        object.add("InstanceName", [c, disk] { return WmiValue::string(diskInstancePath(*c, disk) + "_0"); })
            .add("PredictFailure", [read] { return WmiValue::boolean(read()->failing.value_or(false)); })
            .add("Reason", [read] { return uint32OrNull(read()->failing.value_or(false) ? 1 : 0); });
    });
}

ObjectList readFailurePredictData(const LinuxContext& context) {
    const LinuxContext* c = &context;
    auto tabled = [](const DiskHealthRead& read) { return read.smartData.has_value(); };
    return perDisk(context, tabled, [c](LinuxObject& object, const Disk& disk, std::size_t, auto read) {
        object.add("InstanceName", [c, disk] { return WmiValue::string(diskInstancePath(*c, disk) + "_0"); })
            .add("VendorSpecific", [read] { return byteArray(*read()->smartData); });
    });
}

}  // namespace moravel::lx
