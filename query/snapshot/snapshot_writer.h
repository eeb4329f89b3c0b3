// Records what a provider and its probes answer, in the snapshot file format, so a
// machine's inventory can be viewed elsewhere.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

// Every class and property of the class table that something reads (marked recorded there), all
// objects of each class, plus the memory status, the adapter list and the version numbers, as
// one snapshot JSON document. A query that fails is recorded as a staged failure at the step that
// failed, so the snapshot answers as the machine did. Compact, one line: a snapshot is read by
// programs.
void writeSnapshot(WmiProvider* provider, SystemProbes* probes, std::ostream& out);

// Why a snapshot of `bytes` bytes is not to be saved (the snapshot reader would refuse it), or
// nothing.
std::optional<std::string> snapshotSizeProblem(std::size_t bytes);

}  // namespace moravel
