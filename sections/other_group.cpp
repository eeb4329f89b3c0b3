// The Other group: the optical drive, the first sound device that is not skipped, the network
// adapter the System group found, and the battery or, without one, the first real printer.
#include <algorithm>
#include <array>
#include <string>

#include "sections/conversions.h"
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kCdromDrive = "Win32_CDROMDrive";
const char* const kSoundDevice = "Win32_SoundDevice";
const char* const kBattery = "Win32_Battery";
const char* const kPrinter = "Win32_Printer";
constexpr int kSoundDevicesExamined = 11;
constexpr int kPrintersExamined = 20;

// Virtual printers that print to no paper: those of Windows 7 and its tools, then those that
// Windows 10 and 11, current Office and CUPS-PDF install.
const std::array<const char*, 24> kSkippedPrinters = {
    "Fax",
    "Send To OneNote 2010",
    "Send To OneNote 2011",
    "Send To OneNote 2012",
    "Send To OneNote 2013",
    "Microsoft XPS Document Writer",
    "Snagit 6",
    "Snagit 7",
    "Snagit 8",
    "Snagit 9",
    "Snagit 10",
    "Snagit 11",
    "Snagit 12",
    "Snagit 13",
    "Snagit 14",
    "Snagit 15",
    "Auto Microsoft XPS Document Writer on MORAVEL-BUILD",
    "Microsoft Print to PDF",
    "OneNote (Desktop)",
    "OneNote for Windows 10",
    "OneNote",
    "Send To OneNote 2016",
    "Microsoft XPS Document Writer v4",
    "PDF",
};

std::string cdrom(QueryContext& context) {
    const std::string name = readProperty(context, kCdromDrive, "Name");
    if (name.empty()) return "None";
    const std::string mediaType = readProperty(context, kCdromDrive, "MediaType");
    if (mediaType.empty() || mediaType == "UNKNOWN") return name;
    return mediaType + " ( " + name + " )";
}

// Audio over a video cable (NVIDIA) and headsets (Logitech) are not the machine's sound device.
std::string sound(QueryContext& context) {
    for (int index = 0; index < kSoundDevicesExamined; ++index) {
        const std::string product = readProperty(context, kSoundDevice, "ProductName", index);
        std::string maker = readProperty(context, kSoundDevice, "Manufacturer", index);
        if (product.empty() || maker == "NVIDIA") continue;
        maker = readProperty(context, kSoundDevice, "Manufacturer", index);
        if (maker == "Logitech") continue;
        return maker.empty() ? product : maker + " ( " + product + " )";
    }
    return "None";
}

std::string network(const SharedValues& shared) { return orNone(shared.networkAdapterName); }

std::string battery(QueryContext& context, const std::string& name) {
    const std::string deviceId = readProperty(context, kBattery, "DeviceID");
    if (deviceId.empty()) return name;
    const int charge = std::clamp(leadingInteger(readProperty(context, kBattery, "EstimatedChargeRemaining")), 0, 100);
    return name + " - " + deviceId + " - Charged: " + decimal(charge) + "%";
}

bool isSkippedPrinter(const std::string& caption) {
    return caption.size() < 2 ||
           std::find(kSkippedPrinters.begin(), kSkippedPrinters.end(), caption) != kSkippedPrinters.end();
}

std::string printerStatusText(const std::string& status) {
    if (status == "1" || status == "2") return "  Status: Unknown";
    if (status == "3") return "  Status: Idle";
    if (status == "4") return "  Status: Printing";
    if (status == "5") return "  Status: Warming Up";
    if (status == "6") return "  Status: Stopped printing";
    if (status == "7") return "  Status: Offline";
    return status;
}

std::string printer(QueryContext& context) {
    for (int index = 0; index < kPrintersExamined; ++index) {
        const std::string caption = readProperty(context, kPrinter, "Caption", index);
        if (isSkippedPrinter(caption)) continue;
        const std::string horizontal = readProperty(context, kPrinter, "HorizontalResolution", index);
        const std::string vertical = readProperty(context, kPrinter, "VerticalResolution", index);
        const std::string status = printerStatusText(readProperty(context, kPrinter, "PrinterStatus", index));
        if (horizontal.size() < 2) return caption;
        return caption + " - Resolution: ( " + horizontal + ", " + vertical + " )" + status;
    }
    return "None";
}

}  // namespace

void otherGroup(QueryContext& context, ReportSink& sink, const SharedValues& shared) {
    sink.beginGroup("Other", 10, 645, 705, 75, true);
    sink.addField("CDROM:", 115, 670, cdrom(context));
    sink.addField("Sound:", 460, 670, sound(context));
    sink.addField("Network:", 115, 695, network(shared));
    const std::string batteryName = readProperty(context, kBattery, "Name");
    if (batteryName.size() >= 4)
        sink.addField("Battery:", 460, 695, battery(context, batteryName));
    else
        sink.addField("Printer:", 460, 695, printer(context));
    sink.endGroup();
}

}  // namespace moravel
