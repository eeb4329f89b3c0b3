#include "sections/sections.h"

namespace moravel {

void motherBoardGroup(ReportSink& sink) {
    sink.beginGroup("MotherBoard", 10, 380, 705, 75, false);
    sink.addField("Manufacturer:", 115, 405, "");
    sink.addField("Unique Serial No.:", 460, 405, "");
    sink.addField("Bus Type:", 115, 430, "");
    sink.addField("Model:", 460, 430, "");
    sink.endGroup();
}

}  // namespace moravel
