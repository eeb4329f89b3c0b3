#include "sections/sections.h"

namespace moravel {

void buildAllGroups(ReportSink& sink) {
    SharedValues shared;
    systemGroup(sink, shared);
    biosGroup(sink);
    osGroup(sink);
    cpuGroup(sink);
    motherBoardGroup(sink);
    vgaGroup(sink);
    drivesGroup(sink);
    otherGroup(sink, shared);
}

}  // namespace moravel
