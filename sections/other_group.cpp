#include "sections/sections.h"

namespace moravel {

void otherGroup(ReportSink& sink, const SharedValues&) {
    sink.beginGroup("Other", 10, 645, 705, 75, true);
    sink.addField("CDROM:", 115, 670, "");
    sink.addField("Sound:", 460, 670, "");
    sink.addField("Network:", 115, 695, "");
    sink.addField("Printer:", 460, 695, "");
    sink.endGroup();
}

}  // namespace moravel
