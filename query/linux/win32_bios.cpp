// Win32_BIOS: the firmware as DMI describes it. No DMI (containers, most ARM boards): no object.
#include <cstdio>

#include "query/linux/content_parsers.h"
#include "query/linux/linux_classes.h"

namespace moravel::lx {
namespace {

std::optional<std::string> releaseDate(const RootFs& fs) {
    std::optional<std::string> date = dmiField(fs, "bios_date");
    return date ? cimReleaseDate(*date) : std::nullopt;
}


// Windows' Version is the ACPI tables' OEM id and revision ("ALASKA - 1072009"); the table
// header is readable by root only, so others see the firmware version instead.
std::optional<std::string> acpiVersion(const RootFs& fs) {
    for (const char* table : {"/sys/firmware/acpi/tables/XSDT", "/sys/firmware/acpi/tables/RSDT"}) {
        std::optional<std::string> header = fs.read(table);
        if (!header || header->size() < 28) continue;
        std::string oemId = trim(header->substr(10, 6));
        std::uint32_t revision = 0;
        for (int i = 3; i >= 0; --i) revision = revision << 8 | static_cast<unsigned char>((*header)[24 + i]);
        return oemId + " - " + std::to_string(revision);
    }
    return std::nullopt;
}

}  // namespace

ObjectList readBioses(const LinuxContext& context) {
    ObjectList objects;
    if (!context.fs.exists("/sys/class/dmi/id/bios_vendor") && !context.fs.exists("/sys/class/dmi/id/bios_version"))
        return objects;
    const RootFs* fs = &context.fs;
    auto object = std::make_unique<LinuxObject>();
    object->add("Manufacturer", [fs] { return stringOrNull(dmiField(*fs, "bios_vendor")); })
        .add("Name", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Caption", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Description", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("SMBIOSBIOSVersion", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Version", [fs] {
            std::optional<std::string> version = acpiVersion(*fs);
            return stringOrNull(version ? version : dmiField(*fs, "bios_version"));
        })
        .add("ReleaseDate", [fs] { return stringOrNull(releaseDate(*fs)); })
        .add("SerialNumber", [fs] { return stringOrNull(dmiField(*fs, "product_serial")); })
        .addNull("BIOSVersion");
    objects.push_back(std::move(object));
    return objects;
}

// "MM/DD/YYYY" as DMI gives it, as a CIM date.
std::optional<std::string> cimReleaseDate(const std::string& date) {
    int month = 0, day = 0, year = 0;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%2d/%2d/%4d%c", &month, &day, &year, &tail) != 3) return std::nullopt;
    if (year < 100) year += year < 80 ? 2000 : 1900;  // some old firmware writes two digits
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return cimDate(year, month, day);
}

}  // namespace moravel::lx
