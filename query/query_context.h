// Everything the query layer reads through and keeps count of, in one object: a backend's
// provider and probes, where the diagnostic lines go, and how many queries ran. A program makes
// one for its backend and hands it to those who query (the groups, the inventory, a snapshot's
// writer); a test makes one of its own.
#pragma once

#include <iostream>

#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

struct QueryContext {
    WmiProvider* provider = nullptr;  // not owned; null: every query reads nothing
    SystemProbes* probes = nullptr;   // not owned; null: the probes read nothing
    std::ostream* diagnostics = &std::cout;
    long queries = 0;  // queryWmiText calls
};

}  // namespace moravel
