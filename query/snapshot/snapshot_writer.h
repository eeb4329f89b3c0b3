// Records what the installed provider and probes answer, in the snapshot file format, so a
// machine's inventory can be viewed elsewhere.
#pragma once

#include <ostream>
#include <vector>

namespace moravel {

// One WMI class the groups read, with every property they read of it.
struct RecordedClass {
    const char* name;
    std::vector<const char*> properties;
};

// The 17 classes the groups read.
const std::vector<RecordedClass>& recordedClasses();

// Every class and property the groups read, all objects of each class, plus the memory status,
// the adapter list and the version numbers, as one snapshot JSON document. A query that fails
// is recorded as a staged failure at the step that failed, so the snapshot answers as the
// machine did.
void writeSnapshot(std::ostream& out);

}  // namespace moravel
