// Win32_BIOS: the firmware as DMI describes it. No DMI (containers, most ARM boards): no object.
#include "providers/linux/parsers/bytes.h"
#include "providers/linux/system/cim_dates.h"
#include "providers/linux/classes/readers.h"

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
        return oemId + " - " + std::to_string(littleEndian(*header, 24, 4));
    }
    return std::nullopt;
}

}  // namespace

ObjectList readBioses(const LinuxContext& context) {
    ObjectList objects;
    if (!hasDmiField(context.fs, "bios_vendor") && !hasDmiField(context.fs, "bios_version")) return objects;
    const RootFs* fs = &context.fs;
    newObject(objects)
        .add("Manufacturer", [fs] { return stringOrNull(dmiField(*fs, "bios_vendor")); })
        .add("Name", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Caption", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Description", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("SMBIOSBIOSVersion", [fs] { return stringOrNull(dmiField(*fs, "bios_version")); })
        .add("Version",
             [fs] {
                 std::optional<std::string> version = acpiVersion(*fs);
                 return stringOrNull(version ? version : dmiField(*fs, "bios_version"));
             })
        .add("ReleaseDate", [fs] { return stringOrNull(releaseDate(*fs)); })
        .add("SerialNumber", [fs] { return stringOrNull(dmiField(*fs, "product_serial")); })
        .addNull("BIOSVersion");
    return objects;
}

}  // namespace moravel::lx
