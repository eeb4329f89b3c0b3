#include "providers/backends.h"

#include <cstdlib>

#include "query/snapshot/snapshot_provider.h"

namespace moravel {

Backend makeBackendFromEnvironment() {
    const char* snapshot = std::getenv("MORAVEL_SNAPSHOT");
    if (snapshot && *snapshot) return makeSnapshotBackend(snapshot);
    return makePlatformBackend();
}

}  // namespace moravel
