#include "sections/sections.h"

namespace moravel {

void biosGroup(ReportSink& sink) {
    sink.beginGroup("BIOS", 10, 115, 705, 75, false);
    sink.addField("Manufacturer:", 115, 140, "");
    sink.addField("Description:", 460, 140, "");
    sink.addField("Version:", 115, 165, "");
    sink.addField("Release Date:", 460, 165, "");
    sink.endGroup();
}

}  // namespace moravel
