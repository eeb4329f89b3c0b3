#include "query/backend.h"

#include <cstdlib>

#include "query/wmi_query.h"

namespace moravel {

void Backend::install() const {
    setWmiProvider(provider.get());
    setSystemProbes(probes.get());
}

ScopedBackend::ScopedBackend(Backend backend)
    : backend_(std::move(backend)), previousProvider_(wmiProvider()), previousProbes_(systemProbes()) {
    backend_.install();
}

ScopedBackend::ScopedBackend(WmiProvider& provider, SystemProbes& probes)
    : previousProvider_(wmiProvider()), previousProbes_(systemProbes()) {
    setWmiProvider(&provider);
    setSystemProbes(&probes);
}

ScopedBackend::~ScopedBackend() {
    setWmiProvider(previousProvider_);
    setSystemProbes(previousProbes_);
}

Backend makeBackendFromEnvironment() {
    const char* snapshot = std::getenv("MORAVEL_SNAPSHOT");
    if (snapshot && *snapshot) return makeSnapshotBackend(snapshot);
    return makePlatformBackend();
}

}  // namespace moravel
