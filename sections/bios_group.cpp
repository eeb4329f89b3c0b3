// The BIOS group: the firmware's maker, description, version and release date.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kBios = "Win32_BIOS";

std::string manufacturer(QueryContext& context) { return orNone(readProperty(context, kBios, "Manufacturer")); }

std::string description(QueryContext& context) { return orNone(readProperty(context, kBios, "Description")); }

std::string version(QueryContext& context) {
    const std::string version = readProperty(context, kBios, "Version");
    if (version.empty()) return "None";
    const std::string smbios = readProperty(context, kBios, "SMBIOSBIOSVersion");
    if (smbios.empty()) return version;
    return version + " ( SM: " + smbios + " )";
}

// The date part of a CIM date-time (YYYYMMDD...), as YYYY-MM-DD; the characters are not checked.
std::string releaseDate(QueryContext& context) {
    const std::string date = readProperty(context, kBios, "ReleaseDate");
    if (date.size() < 8) return "None";
    return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

}  // namespace

void biosGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("BIOS", 10, 115, 705, 75, false);
    sink.addField("Manufacturer:", 115, 140, manufacturer(context));
    sink.addField("Description:", 460, 140, description(context));
    sink.addField("Version:", 115, 165, version(context));
    sink.addField("Release Date:", 460, 165, releaseDate(context));
    sink.endGroup();
}

}  // namespace moravel
