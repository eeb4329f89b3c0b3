#include "sections/sections.h"

namespace moravel {

void systemGroup(ReportSink& sink, SharedValues&) {
    sink.beginGroup("System", 10, 10, 705, 100, false);
    sink.addField("Computer Name:", 115, 35, "");
    sink.addField("Type:", 460, 35, "");
    sink.addField("Memory:", 115, 60, "");
    sink.addField("Available Memory:", 460, 60, "");
    sink.addField("Domain:", 115, 85, "");
    sink.addField("MAC Address:", 460, 85, "");
    sink.endGroup();
}

}  // namespace moravel
