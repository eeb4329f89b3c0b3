// The OS group: name and architecture, product identifier, version with service pack, and the
// time of the last start.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kOperatingSystem = "Win32_OperatingSystem";

std::string name() {
    const std::string caption = readProperty(kOperatingSystem, "Caption");
    if (caption.size() < 4) return "None";
    const std::string architecture = readProperty(kOperatingSystem, "OSArchitecture");
    if (architecture.size() > 1) return caption + " ( " + architecture + " )";
    return caption;
}

std::string productId() { return atLeastOrNone(readProperty(kOperatingSystem, "SerialNumber"), 4); }

std::string version() {
    const std::string version = readProperty(kOperatingSystem, "Version");
    if (version.empty()) return "None";
    const std::string servicePack = readProperty(kOperatingSystem, "CSDVersion");
    if (servicePack.empty() || servicePack == "Null") return version;
    return version + " ( " + servicePack + " )";
}

// YYYYMMDDHHMMSS of a CIM date-time as YYYY-MM-DD HH:MM:SS, in the time zone it was given in.
std::string lastBootUpTime() {
    const std::string time = readProperty(kOperatingSystem, "LastBootUpTime");
    if (time.size() < 14) return "None";
    return time.substr(0, 4) + "-" + time.substr(4, 2) + "-" + time.substr(6, 2) + " " + time.substr(8, 2) + ":" +
           time.substr(10, 2) + ":" + time.substr(12, 2);
}

}  // namespace

void osGroup(ReportSink& sink) {
    sink.beginGroup("OS", 10, 195, 705, 75, false);
    sink.addField("Name:", 115, 220, name());
    sink.addField("Product ID:", 460, 220, productId());
    sink.addField("Version:", 115, 245, version());
    sink.addField("Last BootUp Time:", 460, 245, lastBootUpTime());
    sink.endGroup();
}

}  // namespace moravel
