// A backend is one provider of WMI answers together with its system probes: the platform's own,
// or a snapshot file's. Front ends pick one at start-up and install it for the query layer.
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

    // Makes this backend the one queryWmiText and the probes use in the current context, for
    // the rest of that context's life (a program's backend).
    void install() const;
};

// Makes a backend the one queries and probes go through while it lives: in a query context of
// its own, which starts as a copy of the current one (the diagnostic stream, the query count)
// but for the backend and, if given, the diagnostic stream. Whatever was current before is
// current again afterwards, untouched.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend backend, std::ostream* diagnostics = nullptr);
    // A backend that stays where it is and outlives this scope; either part may be null.
    ScopedBackend(WmiProvider* provider, SystemProbes* probes, std::ostream* diagnostics = nullptr);
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

    Backend& backend() { return backend_; }

private:
    Backend backend_;
    QueryContext context_;
    ContextScope scope_;
};

}  // namespace moravel
