// What every class reader is given: the file tree to read, the device-name database, udev's
// records of the devices and the few facts that come from system calls rather than files.
// Tests replace all four.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "providers/linux/parsers/cups_reply.h"
#include "providers/linux/parsers/udev_data.h"
#include "providers/linux/system/root_fs.h"

namespace moravel::lx {

// Vendor and product names of PCI and USB devices by their numeric ids.
class DeviceNames {
public:
    virtual ~DeviceNames() = default;
    // bus is "pci" or "usb".
    virtual std::optional<std::string> vendor(const std::string& bus, unsigned vendorId) const = 0;
    virtual std::optional<std::string> product(const std::string& bus, unsigned vendorId, unsigned productId) const = 0;
    // The maker of a known device: where one look-up names both, the one that names its product.
    virtual std::optional<std::string> deviceVendor(const std::string& bus, unsigned vendorId, unsigned productId) const {
        (void)productId;
        return vendor(bus, vendorId);
    }
};

// What udev recorded of a device, by udev's own id for it: "b8:0" (a block device by its
// numbers), "+dmi:id" (the firmware's table). A record cannot change while the process runs:
// each is read once, then kept by this object, which lives as long as the provider.
class UdevRecords {
public:
    virtual ~UdevRecords() = default;
    // Its properties, values as udev stored them; empty when udev has no record of the device.
    const UdevProperties& record(const std::string& deviceId) const;
    // One property's value, decoded (see udevValue).
    std::optional<std::string> value(const std::string& deviceId, const std::string& key) const {
        return udevValue(record(deviceId), key);
    }

private:
    virtual UdevProperties load(const std::string& deviceId) const = 0;
    mutable std::map<std::string, UdevProperties> kept_;
};

// One address of a network interface, as getifaddrs gives it.
struct InterfaceAddress {
    std::string interface;  // "eth0"
    std::string address;    // "192.168.1.20", "fe80::1"
    std::string mask;       // "255.255.255.0"; the prefix length for IPv6 ("64")
};

// CPUID leaf 1: EAX the processor's signature, EDX its feature flags.
struct CpuidLeaf {
    std::uint32_t eax = 0;
    std::uint32_t edx = 0;
};

// What a disk answered to one health request.
struct DiskAnswer {
    enum class Status { NoAnswer, Answered, Denied };  // Denied: the program lacks the rights to ask
    Status status = Status::NoAnswer;
    std::string data;      // the bytes the command returned
    bool failing = false;  // ATA: the drive's own verdict (SMART RETURN STATUS) says a threshold is passed
};

class HostFacts {
public:
    virtual ~HostFacts() = default;
    virtual std::string machine() const = 0;  // uname's machine, e.g. "x86_64"
    virtual std::optional<std::string> userFullName() const = 0;
    virtual std::optional<std::uint64_t> freeBytes(const std::string& mountPoint) const = 0;
    virtual std::optional<std::uint64_t> sizeBytes(const std::string& mountPoint) const = 0;
    // The local time zone's offset from UTC at `when`, in minutes east.
    virtual int utcOffsetMinutes(std::time_t when) const = 0;
    virtual std::vector<PrinterInfo> printers() const = 0;
    // The vendor signature of CPUID leaf 0x40000000 ("KVMKVMKVM", "Microsoft Hv", ...) when the
    // processor says it runs under a hypervisor; nothing where there is no CPUID.
    virtual std::optional<std::string> cpuidHypervisorVendor() const = 0;
    // CPUID leaf 1 of the processor this runs on; nothing where there is no CPUID.
    virtual std::optional<CpuidLeaf> cpuidLeafOne() const = 0;
    // Every IPv4 and IPv6 address of every interface, IPv4 first.
    virtual std::vector<InterfaceAddress> interfaceAddresses() const = 0;
    // When a file was created (statx's birth time), where the file system keeps it.
    virtual std::optional<std::time_t> birthTime(const std::string& path) const = 0;
    // The SMART / health log page of an NVMe controller ("nvme0"), through the kernel's admin
    // command interface (root's). Each request is bounded in time; a disk asleep is not woken.
    virtual DiskAnswer nvmeHealthLog(const std::string& controller) const = 0;
    // An ATA disk's ("sda") SMART data (512 bytes) and verdict, through SCSI ATA PASS-THROUGH.
    virtual DiskAnswer ataSmartData(const std::string& disk) const = 0;
    // What UDisks2 says of the disk ("sda", "nvme0n1"), in the form the disk itself answers
    // (an ATA table or an NVMe log); any user may ask it.
    virtual DiskAnswer udisksHealth(const std::string& disk) const = 0;
    // When a file's contents last changed; nothing when it is missing.
    virtual std::optional<std::time_t> modifiedTime(const std::string& path) const = 0;
    // The same for many files of one folder (a database's thousand file lists), each by its name.
    virtual std::vector<std::optional<std::time_t>> modifiedTimes(const std::string& folder,
                                                                  const std::vector<std::string>& names) const {
        std::vector<std::optional<std::time_t>> times;
        for (const std::string& name : names) times.push_back(modifiedTime(folder + "/" + name));
        return times;
    }
};

struct LinuxContext {
    RootFs fs;
    const DeviceNames& names;
    const HostFacts& host;
    const UdevRecords& udev;
};

// The PCI or USB device a sysfs device belongs to: the nearest such ancestor.
struct BusDevice {
    std::string bus;   // "pci" or "usb"
    std::string path;  // its sysfs directory, relative to the root
    unsigned vendorId = 0;
    unsigned productId = 0;
};
std::optional<BusDevice> busDeviceOf(const RootFs& fs, const std::string& devicePath);

std::optional<std::string> vendorName(const LinuxContext& context, const BusDevice& device);
std::optional<std::string> productName(const LinuxContext& context, const BusDevice& device);

}  // namespace moravel::lx
