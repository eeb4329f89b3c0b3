// Placeholder until the snapshot provider lands.
#include "query/backend.h"

namespace moravel {

Backend makeSnapshotBackend(const std::string& path) {
    throw SnapshotError("moravel: " + path + ": snapshots are not supported yet");
}

Backend makeSnapshotBackendFromJson(const std::string&, const std::string& name) {
    throw SnapshotError("moravel: " + name + ": snapshots are not supported yet");
}

}  // namespace moravel
