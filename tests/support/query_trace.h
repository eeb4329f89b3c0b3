// Notes which class and property each query cycle asked for, so tests can check the order of the
// reads: the product's tap, watching a provider that stays where it is.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "query/views/provider_tap.h"

namespace moravel::testing {

class TracingProvider {
public:
    explicit TracingProvider(WmiProvider& inner);

    // The provider to install in place of `inner`.
    WmiProvider& provider() { return *provider_; }
    // One entry per cycle that ran its query, "Class.Property" (just "Class" when no object was
    // asked for a property), in the order the cycles ran.
    const std::vector<std::string>& reads() const;

private:
    class Trace;
    std::shared_ptr<Trace> trace_;
    std::unique_ptr<WmiProvider> provider_;
};

}  // namespace moravel::testing
