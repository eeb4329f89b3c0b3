#include "providers/backends.h"

#include <optional>
#include <string>

#include "io/process.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {

bool environmentGivesThisMachine() {
    const std::optional<std::string> snapshot = environmentValue("MORAVEL_SNAPSHOT");
    return !snapshot || snapshot->empty();
}

Backend makeBackendFromEnvironment() {
    return environmentGivesThisMachine() ? makePlatformBackend()
                                         : makeSnapshotBackend(*environmentValue("MORAVEL_SNAPSHOT"));
}

}  // namespace moravel
