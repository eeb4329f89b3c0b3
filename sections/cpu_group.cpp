#include "sections/sections.h"

namespace moravel {

void cpuGroup(ReportSink& sink) {
    sink.beginGroup("CPU", 10, 275, 705, 100, false);
    sink.addField("Processor:", 115, 300, "");
    sink.addField("Spec:", 460, 300, "");
    sink.addField("Clock:", 115, 325, "");
    sink.addField("Family:", 460, 325, "");
    sink.addField("Manufacturer:", 115, 350, "");
    sink.addField("Unique ID:", 460, 350, "");
    sink.endGroup();
}

}  // namespace moravel
