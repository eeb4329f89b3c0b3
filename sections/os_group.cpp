// The OS group: name and architecture, product identifier, version with service pack, and the
// time of the last start.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kOperatingSystem = "Win32_OperatingSystem";

std::string name(QueryContext& context) {
    const std::string caption = readProperty(context, kOperatingSystem, "Caption");
    if (caption.size() < 4) return "None";
    const std::string architecture = readProperty(context, kOperatingSystem, "OSArchitecture");
    if (architecture.size() > 1) return caption + " ( " + architecture + " )";
    return caption;
}

std::string productId(QueryContext& context) {
    return atLeastOrNone(readProperty(context, kOperatingSystem, "SerialNumber"), 4);
}

std::string version(QueryContext& context) {
    const std::string version = readProperty(context, kOperatingSystem, "Version");
    if (version.empty()) return "None";
    const std::string servicePack = readProperty(context, kOperatingSystem, "CSDVersion");
    if (servicePack.empty() || servicePack == "Null") return version;
    return version + " ( " + servicePack + " )";
}

// YYYYMMDDHHMMSS of a CIM date-time as YYYY-MM-DD HH:MM:SS, in the time zone it was given in.
std::string lastBootUpTime(QueryContext& context) {
    const std::string time = readProperty(context, kOperatingSystem, "LastBootUpTime");
    if (time.size() < 14) return "None";
    return time.substr(0, 4) + "-" + time.substr(4, 2) + "-" + time.substr(6, 2) + " " + time.substr(8, 2) + ":" +
           time.substr(10, 2) + ":" + time.substr(12, 2);
}

}  // namespace

void osGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("OS", 10, 195, 705, 75, false);
    sink.addField("Name:", 115, 220, name(context));
    sink.addField("Product ID:", 460, 220, productId(context));
    sink.addField("Version:", 115, 245, version(context));
    sink.addField("Last BootUp Time:", 460, 245, lastBootUpTime(context));
    sink.endGroup();
}

}  // namespace moravel
