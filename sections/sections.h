// The eight inventory groups, in window order. Each entry point reads its values through the
// query context it is given and hands its group and fields to the sink.
#pragma once

#include <string>

#include "query/query_context.h"
#include "sections/report_sink.h"

namespace moravel {

// The one value two groups share: the System group's adapter search leaves the adapter name
// behind for the Other group's "Network:" field.
struct SharedValues {
    std::string networkAdapterName;
};

void systemGroup(QueryContext& context, ReportSink& sink, SharedValues& shared);
void biosGroup(QueryContext& context, ReportSink& sink);
void osGroup(QueryContext& context, ReportSink& sink);
void cpuGroup(QueryContext& context, ReportSink& sink);
void motherBoardGroup(QueryContext& context, ReportSink& sink);
void vgaGroup(QueryContext& context, ReportSink& sink);
void drivesGroup(QueryContext& context, ReportSink& sink);
void otherGroup(QueryContext& context, ReportSink& sink, const SharedValues& shared);

// All eight groups in window order.
void buildAllGroups(QueryContext& context, ReportSink& sink);

}  // namespace moravel
