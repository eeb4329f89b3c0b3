// Records what the installed provider and probes answer, in the snapshot file format, so a
// machine's inventory can be viewed elsewhere.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "query/wmi_names.h"

namespace moravel {

// One WMI class the groups or the inventory read, with every property they read of it.
struct RecordedClass {
    const char* name;
    std::vector<const char*> properties;
    const char* nameSpace = kWmiNamespace;
};

// The 17 classes the groups read and those the inventory adds.
const std::vector<RecordedClass>& recordedClasses();
// The entry of one class (names compared as WMI does); nullptr for a class not recorded.
const RecordedClass* findRecordedClass(const std::string& name);

// Every class and property the groups and the inventory read, all objects of each class, plus the memory status,
// the adapter list and the version numbers, as one snapshot JSON document. A query that fails
// is recorded as a staged failure at the step that failed, so the snapshot answers as the
// machine did. Compact, one line: a snapshot is read by programs.
void writeSnapshot(std::ostream& out);

// Why a snapshot of `bytes` bytes is not to be saved (the snapshot reader would refuse it), or
// nothing.
std::optional<std::string> snapshotSizeProblem(std::size_t bytes);

}  // namespace moravel
