#include "providers/backends.h"

#include <cstdlib>

#include "query/snapshot/snapshot_provider.h"

namespace moravel {

bool environmentGivesThisMachine() {
    const char* snapshot = std::getenv("MORAVEL_SNAPSHOT");
    return !snapshot || !*snapshot;
}

Backend makeBackendFromEnvironment() {
    return environmentGivesThisMachine() ? makePlatformBackend() : makeSnapshotBackend(std::getenv("MORAVEL_SNAPSHOT"));
}

}  // namespace moravel
