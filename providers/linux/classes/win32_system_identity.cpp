// Win32_ComputerSystemProduct, Win32_SystemEnclosure and Win32_TimeZone: what tells the machine
// apart (serial number, UUID, SKU, asset tag, chassis) and its time zone. The DMI serial numbers
// and UUID are readable by root only; a board without DMI may carry a serial in its device tree.
#include "providers/linux/classes/readers.h"
#include "providers/linux/system/machine_identity.h"

namespace moravel::lx {
namespace {

// The zone's name as the system configures it: /etc/timezone, else the zoneinfo file
// /etc/localtime links to ("/usr/share/zoneinfo/Europe/Paris" is "Europe/Paris").
std::optional<std::string> timeZoneName(const RootFs& fs) {
    if (std::optional<std::string> name = fs.line("/etc/timezone")) return name;
    std::string target = fs.resolved("/etc/localtime");
    std::size_t zoneinfo = target.find("/zoneinfo/");
    if (zoneinfo == std::string::npos) return std::nullopt;
    std::string name = target.substr(zoneinfo + 10);
    if (name.compare(0, 6, "posix/") == 0 || name.compare(0, 6, "right/") == 0) name = name.substr(6);
    return name.empty() ? std::nullopt : std::optional<std::string>(name);
}

}  // namespace

ObjectList readComputerSystemProducts(const LinuxContext& context) {
    const LinuxContext* c = &context;
    ObjectList objects;
    newObject(objects)
        .add("IdentifyingNumber", [c] { return stringOrNull(dmiOr(*c, "product_serial", &MachineIdentity::serial)); })
        .add("UUID", [c] { return stringOrNull(dmiField(c->fs, "product_uuid")); })
        .add("SKUNumber", [c] { return stringOrNull(dmiField(c->fs, "product_sku")); })
        .add("Vendor", [c] { return stringOrNull(dmiOr(*c, "sys_vendor", &MachineIdentity::maker)); })
        .add("Name", [c] { return stringOrNull(dmiOr(*c, "product_name", &MachineIdentity::model)); })
        .add("Version", [c] { return stringOrNull(dmiField(c->fs, "product_version")); });
    return objects;
}

ObjectList readSystemEnclosures(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    std::optional<std::string> type = dmiField(*fs, "chassis_type");
    std::optional<std::uint64_t> chassis = type ? parseNumber(*type) : std::nullopt;
    if (!chassis) return objects;  // no firmware table
    newObject(objects)
        .add("ChassisTypes", [chassis] { return WmiValue::array(vt::I4, {std::to_string(*chassis)}); })
        .add("SMBIOSAssetTag", [fs] { return stringOrNull(dmiField(*fs, "chassis_asset_tag")); })
        .add("SerialNumber", [fs] { return stringOrNull(dmiField(*fs, "chassis_serial")); })
        .add("Manufacturer", [fs] { return stringOrNull(dmiField(*fs, "chassis_vendor")); });
    return objects;
}

ObjectList readTimeZones(const LinuxContext& context) {
    const LinuxContext* c = &context;
    ObjectList objects;
    newObject(objects).add("StandardName", [c] { return stringOrNull(timeZoneName(c->fs)); }).add("Caption", [c] {
        return stringOrNull(timeZoneName(c->fs));
    });
    return objects;
}

}  // namespace moravel::lx
