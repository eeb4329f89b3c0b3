#include "sections/sections.h"

namespace moravel {

void drivesGroup(ReportSink& sink) {
    sink.beginGroup("Drives", 10, 565, 705, 75, false);
    sink.addField("HDD Name:", 115, 590, "");
    sink.addField("HDD Serial No.:", 460, 590, "");
    sink.addField("HDD Size:", 115, 615, "");
    sink.addField("HDD Spec:", 460, 615, "");
    sink.endGroup();
}

}  // namespace moravel
