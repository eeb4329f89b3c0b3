#include "query/backend.h"

#include <cstdlib>

#include "query/wmi_query.h"

namespace moravel {

void Backend::install() const {
    setWmiProvider(provider.get());
    setSystemProbes(probes.get());
}

Backend makeBackendFromEnvironment() {
    const char* snapshot = std::getenv("MORAVEL_SNAPSHOT");
    if (snapshot && *snapshot) return makeSnapshotBackend(snapshot);
    return makePlatformBackend();
}

}  // namespace moravel
