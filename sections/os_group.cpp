#include "sections/sections.h"

namespace moravel {

void osGroup(ReportSink& sink) {
    sink.beginGroup("OS", 10, 195, 705, 75, false);
    sink.addField("Name:", 115, 220, "");
    sink.addField("Product ID:", 460, 220, "");
    sink.addField("Version:", 115, 245, "");
    sink.addField("Last BootUp Time:", 460, 245, "");
    sink.endGroup();
}

}  // namespace moravel
