// Everything the query layer reads through and keeps count of, in one object: the installed
// backend's provider and probes, where the diagnostic lines go, and how many queries ran. One
// context is current; a ScopedBackend (backend.h) makes a context of its own current for as long
// as it lives, so a test or a front end never swaps these one by one.
#pragma once

#include <iostream>

#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

struct QueryContext {
    WmiProvider* provider = nullptr;  // not owned
    SystemProbes* probes = nullptr;   // not owned
    std::ostream* diagnostics = &std::cout;
    long queries = 0;  // queryWmiText calls
};

// The current context: the one the innermost ContextScope made current, else the program's own.
QueryContext& queryContext();

// Makes `context` current while it lives, then the one before it again.
class ContextScope {
public:
    explicit ContextScope(QueryContext& context);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    QueryContext* previous_;
};

}  // namespace moravel
