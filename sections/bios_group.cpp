// The BIOS group: the firmware's maker, description, version and release date.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kBios = "Win32_BIOS";

std::string manufacturer() { return orNone(readProperty(kBios, "Manufacturer")); }

std::string description() { return orNone(readProperty(kBios, "Description")); }

std::string version() {
    const std::string version = readProperty(kBios, "Version");
    if (version.empty()) return "None";
    const std::string smbios = readProperty(kBios, "SMBIOSBIOSVersion");
    if (smbios.empty()) return version;
    return version + " ( SM: " + smbios + " )";
}

// The date part of a CIM date-time (YYYYMMDD...), as YYYY-MM-DD; the characters are not checked.
std::string releaseDate() {
    const std::string date = readProperty(kBios, "ReleaseDate");
    if (date.size() < 8) return "None";
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

}  // namespace

void biosGroup(ReportSink& sink) {
    sink.beginGroup("BIOS", 10, 115, 705, 75, false);
    sink.addField("Manufacturer:", 115, 140, manufacturer());
    sink.addField("Description:", 460, 140, description());
    sink.addField("Version:", 115, 165, version());
    sink.addField("Release Date:", 460, 165, releaseDate());
    sink.endGroup();
}

}  // namespace moravel
