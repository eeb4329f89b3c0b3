// The MotherBoard group: the board's maker, serial number, bus types and model.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kBaseBoard = "Win32_BaseBoard";

std::string manufacturer() { return orNone(readProperty(kBaseBoard, "Manufacturer")); }

// Boards without a serial often report a single blank.
std::string uniqueSerialNo() { return atLeastOrNone(readProperty(kBaseBoard, "SerialNumber"), 2); }

std::string busType() {
    const char* const device = "Win32_MotherboardDevice";
    std::string text = readProperty(device, "PrimaryBusType");
    if (text.empty()) return "None";
    const std::string secondary = readProperty(device, "SecondaryBusType");
    if (!secondary.empty()) text += "   &   " + secondary;
    return text;
}

std::string model() { return orNone(readProperty(kBaseBoard, "Product")); }

}  // namespace

void motherBoardGroup(ReportSink& sink) {
    sink.beginGroup("MotherBoard", 10, 380, 705, 75, false);
    sink.addField("Manufacturer:", 115, 405, manufacturer());
    sink.addField("Unique Serial No.:", 460, 405, uniqueSerialNo());
    sink.addField("Bus Type:", 115, 430, busType());
    sink.addField("Model:", 460, 430, model());
    sink.endGroup();
}

}  // namespace moravel
