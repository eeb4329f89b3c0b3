// A backend is one provider of WMI answers together with its system probes: the platform's own,
// or a snapshot file's. Front ends pick one at start-up and query through a context over it.
#pragma once

#include <memory>
#include <string>

#include "query/probes.h"
#include "query/query_context.h"
#include "query/wmi_provider.h"

namespace moravel {

struct Backend {
    std::unique_ptr<WmiProvider> provider;
    std::unique_ptr<SystemProbes> probes;

    // A context that queries through this backend, which must outlive it.
    QueryContext context(std::ostream* diagnostics = &std::cout) const {
        return {provider.get(), probes.get(), diagnostics, 0};
    }
};

}  // namespace moravel
