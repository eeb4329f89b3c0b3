#include "sections/sections.h"

namespace moravel {

void buildAllGroups(QueryContext& context, ReportSink& sink) {
    SharedValues shared;
    systemGroup(context, sink, shared);
    biosGroup(context, sink);
    osGroup(context, sink);
    cpuGroup(context, sink);
    motherBoardGroup(context, sink);
    vgaGroup(context, sink);
    drivesGroup(context, sink);
    otherGroup(context, sink, shared);
}

}  // namespace moravel
