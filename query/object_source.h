// The one shape of a provider that only lists objects (the Linux provider, a snapshot, the test
// doubles): it answers "the objects of class C in namespace N", and may stage a failure at a step
// of the cycle of a query. One emulator turns that into the COM-shaped calls the query layer
// drives, so only the Windows provider implements those calls itself.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "query/wmi_provider.h"

namespace moravel {

// The objects of one class, in their order; each is made when the walk reaches it.
struct ClassObjects {
    std::size_t count = 0;
    std::function<std::unique_ptr<WmiObject>(std::size_t index)> make;
    // Whether objects can be passed over without being made, so that a read costs the same at
    // any index (a snapshot's); otherwise each is made and asked, as WMI walks an enumerator.
    bool jumps = false;
};

class ObjectSource {
public:
    virtual ~ObjectSource() = default;
    // The objects of `className` in `nameSpace`; none for a class the source does not have.
    virtual ClassObjects objects(const std::string& nameSpace, const std::string& className) = 0;
    // The failure staged for the cycles that run `query`: the step it strikes and its code. A
    // success code (S_FALSE, say) lets the step go on with that code.
    virtual std::optional<CycleFailure> stagedFailure(const std::string& query) const {
        (void)query;
        return std::nullopt;
    }
};

// The COM-shaped cycle over `source`. Each step answers what the source stages for it, else
// success. ConnectServer accepts the class table's namespaces (WBEM_E_INVALID_NAMESPACE otherwise);
// ExecQuery takes "SELECT * FROM <class>", or a class's own query with its condition, in WQL
// (WBEM_E_INVALID_QUERY_TYPE for another language,
// WBEM_E_INVALID_QUERY for another query) and lists the class's objects when it lives in the
// namespace connected to, none otherwise.
std::unique_ptr<WmiProvider> makeListingProvider(std::shared_ptr<ObjectSource> source);

// An enumerator over listed objects, for a provider that answers one class from elsewhere than
// its platform's WMI (the Windows provider's installed software, from the registry).
std::unique_ptr<WmiEnumerator> makeListEnumerator(ClassObjects objects);

}  // namespace moravel
