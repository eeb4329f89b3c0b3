// Records what the installed provider and probes answer, in the snapshot file format, so a
// machine's inventory can be viewed elsewhere.
#pragma once

#include <ostream>

namespace moravel {

// Every class and property the groups read, all objects of each class, plus the memory status,
// the adapter list and the version numbers, as one snapshot JSON document.
void writeSnapshot(std::ostream& out);

}  // namespace moravel
