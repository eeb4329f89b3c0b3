// The one operation through which nearly every value passes, and the shared word splitter.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "query/query_context.h"
#include "query/wmi_provider.h"

namespace moravel {

// The named property of object `index` (from 0) of a WQL query in ROOT\CIMV2, as text; empty
// text on any failure. Each call is a complete connect-query-read-disconnect cycle through the
// context's provider, counted in the context; its diagnostic lines go to the context's stream.
std::string queryWmiText(QueryContext& context, int index, const std::string& wqlQuery,
                         const std::string& propertyName);

// Called with each object a query returns, in order; returning false ends the walk. The object
// is released before the next one is asked for.
using ObjectVisitor = std::function<bool(WmiObject& object)>;

// One complete query cycle through `provider`, in the order queryWmiText makes its calls: COM,
// security, locator, `nameSpace` (a class's is namespaceOf(name), wmi_classes.h), proxy, the query,
// then every object to `visit`; everything is released in the order a query releases it. The
// failing step, if any: its own code, or E_FAIL when it "succeeded" without the interface it was
// to deliver.
std::optional<CycleFailure> runQueryCycle(WmiProvider& provider, const std::string& nameSpace,
                                          const std::string& wqlQuery, const ObjectVisitor& visit);

// The same from object `first` on: the objects before it are stepped over as a read of a later
// object steps over them (WmiEnumerator::skip, reading `property` of each), which a snapshot
// does without building them. A pass may so take a class of very many objects a piece at a time.
std::optional<CycleFailure> runQueryCycleFrom(WmiProvider& provider, const std::string& nameSpace,
                                              const std::string& wqlQuery, std::size_t first,
                                              const std::string& property, const ObjectVisitor& visit);

// "SELECT * FROM <className>": the one form of query the groups run.
std::string selectAllFrom(const std::string& className);

// The whitespace-separated words of `text`, in order.
std::vector<std::string> splitWords(std::string text);

// The text of one property value, writing the type lines of the integer codes to `diagnostics`.
std::string valueToText(const WmiValue& value, std::ostream& diagnostics);

}  // namespace moravel
