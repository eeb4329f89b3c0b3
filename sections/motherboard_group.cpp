// The MotherBoard group: the board's maker, serial number, bus types and model.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kBaseBoard = "Win32_BaseBoard";

std::string manufacturer(QueryContext& context) { return orNone(readProperty(context, kBaseBoard, "Manufacturer")); }

// Boards without a serial often report a single blank.
std::string uniqueSerialNo(QueryContext& context) {
    return atLeastOrNone(readProperty(context, kBaseBoard, "SerialNumber"), 2);
}

std::string busType(QueryContext& context) {
    const char* const device = "Win32_MotherboardDevice";
    std::string text = readProperty(context, device, "PrimaryBusType");
    if (text.empty()) return "None";
    const std::string secondary = readProperty(context, device, "SecondaryBusType");
    if (!secondary.empty()) text += "   &   " + secondary;
    return text;
}

std::string model(QueryContext& context) { return orNone(readProperty(context, kBaseBoard, "Product")); }

}  // namespace

void motherBoardGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("MotherBoard", 10, 380, 705, 75, false);
    sink.addField("Manufacturer:", 115, 405, manufacturer(context));
    sink.addField("Unique Serial No.:", 460, 405, uniqueSerialNo(context));
    sink.addField("Bus Type:", 115, 430, busType(context));
    sink.addField("Model:", 460, 430, model(context));
    sink.endGroup();
}

}  // namespace moravel
