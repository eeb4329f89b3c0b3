// The eight inventory groups, in window order. Each entry point reads its values through the
// query layer and hands its group and fields to the sink.
#pragma once

#include <string>

#include "sections/report_sink.h"

namespace moravel {

// The one value two groups share: the System group's adapter search leaves the adapter name
// behind for the Other group's "Network:" field.
struct SharedValues {
    std::string networkAdapterName;
};

void systemGroup(ReportSink& sink, SharedValues& shared);
void biosGroup(ReportSink& sink);
void osGroup(ReportSink& sink);
void cpuGroup(ReportSink& sink);
void motherBoardGroup(ReportSink& sink);
void vgaGroup(ReportSink& sink);
void drivesGroup(ReportSink& sink);
void otherGroup(ReportSink& sink, const SharedValues& shared);

// All eight groups in window order.
void buildAllGroups(ReportSink& sink);

}  // namespace moravel
