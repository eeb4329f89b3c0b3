#include "query/linux/block_disks.h"
#include "query/linux/content_parsers.h"

#include <cctype>
#include <sstream>

namespace moravel::lx {
namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool isWholeDisk(const RootFs& fs, const std::string& name) {
    for (const char* skipped : {"loop", "ram", "zram", "dm-", "md", "sr", "nbd", "fd"})
        if (startsWith(name, skipped)) return false;
    return fs.number("/sys/block/" + name + "/size").value_or(0) > 0;
}

// "\x20" escapes as udev writes them in its *_ENC values.
std::string decodeEscapes(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

std::vector<Disk> listDisks(const RootFs& fs) {
    std::vector<Disk> disks;
    for (const std::string& name : fs.list("/sys/block"))
        if (isWholeDisk(fs, name)) disks.push_back({name, "/sys/block/" + name});
    return disks;
}

std::string interfaceType(const RootFs& fs, const Disk& disk) {
    std::string device = fs.resolved(disk.path);
    if (device.find("/usb") != std::string::npos) return "USB";
    if (device.find("/ata") != std::string::npos) return "IDE";
    return "SCSI";
}

std::optional<std::string> udevProperty(const RootFs& fs, const Disk& disk, const std::string& key) {
    std::optional<std::string> numbers = fs.line(disk.path + "/dev");
    if (!numbers) return std::nullopt;
    std::optional<std::string> data = fs.read("/run/udev/data/b" + *numbers);
    return data ? udevValue(*data, key) : std::nullopt;
}

std::optional<std::string> udevValue(const std::string& data, const std::string& key) {
    std::istringstream lines(data);
    std::string prefix = "E:" + key + "=";
    for (std::string line; std::getline(lines, line);) {
        if (!startsWith(line, prefix.c_str())) continue;
        std::string value = trim(decodeEscapes(line.substr(prefix.size())));
        if (!value.empty()) return value;
    }
    return std::nullopt;
}

std::optional<std::string> diskSerial(const RootFs& fs, const Disk& disk) {
    for (const char* file : {"/device/serial", "/serial"}) {
        if (std::optional<std::string> serial = fs.line(disk.path + file)) return serial;
    }
    if (std::optional<std::string> serial = udevProperty(fs, disk, "ID_SERIAL_SHORT")) return serial;
    // The unit serial number page of SCSI and ATA disks: a 4-byte header, then the text.
    std::optional<std::string> page = fs.read(disk.path + "/device/vpd_pg80");
    if (page && page->size() > 4) {
        std::string serial = trim(page->substr(4, static_cast<unsigned char>((*page)[3])));
        if (!serial.empty()) return serial;
    }
    return std::nullopt;
}

}  // namespace moravel::lx
