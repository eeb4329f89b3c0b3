#include "sections/sections.h"

namespace moravel {

void vgaGroup(ReportSink& sink) {
    sink.beginGroup("VGA", 10, 460, 705, 100, false);
    sink.addField("Name:", 115, 485, "");
    sink.addField("Chip Type:", 460, 485, "");
    sink.addField("Video Mode:", 115, 510, "");
    sink.addField("Memory:", 460, 510, "");
    sink.addField("Driver Version:", 115, 535, "");
    sink.addField("DAC Type:", 460, 535, "");
    sink.endGroup();
}

}  // namespace moravel
