// A view of a backend that writes down everything it answers, in snapshot form, so the same
// answers can be given again later without asking the machine a second time.
#pragma once

#include <memory>

#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"

namespace moravel {

// `provider` and `probes` stay where they are and must outlive the view; `record` receives the
// classes, objects and properties read, the failures met and the probe values.
Backend makeRecordingView(WmiProvider& provider, SystemProbes& probes, std::shared_ptr<SnapshotData> record);

}  // namespace moravel
