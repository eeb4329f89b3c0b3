#include "query/backend.h"

namespace moravel {

void Backend::install() const {
    queryContext().provider = provider.get();
    queryContext().probes = probes.get();
}

ScopedBackend::ScopedBackend(Backend backend, std::ostream* diagnostics)
    : ScopedBackend(backend.provider.get(), backend.probes.get(), diagnostics) {
    backend_ = std::move(backend);
}

ScopedBackend::ScopedBackend(WmiProvider* provider, SystemProbes* probes, std::ostream* diagnostics)
    : context_(queryContext()), scope_(context_) {
    context_.provider = provider;
    context_.probes = probes;
    if (diagnostics) context_.diagnostics = diagnostics;
}

}  // namespace moravel
