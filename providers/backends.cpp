#include "providers/backends.h"

#include <optional>
#include <string>

#include "io/process.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {

Backend makeBackendFromEnvironment() {
    const std::optional<std::string> snapshot = environmentValue("MORAVEL_SNAPSHOT");
    if (snapshot && !snapshot->empty()) return makeSnapshotBackend(*snapshot);
    return makePlatformBackend();
}

}  // namespace moravel
