// A backend for the length of one test, with a query context over it that captures the query
// layer's diagnostic lines.
#pragma once

#include <sstream>
#include <string>
#include <utility>

#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel::testing {

class TestBackend {
public:
    explicit TestBackend(Backend backend) : backend_(std::move(backend)), context_(backend_.context(&lines_)) {}
    static TestBackend fromJson(const std::string& json) {
        return TestBackend(makeSnapshotBackendFromJson(json, "test.json"));
    }
    TestBackend(const TestBackend&) = delete;
    TestBackend& operator=(const TestBackend&) = delete;

    // The diagnostic lines written since the last call.
    std::string takeLines() {
        std::string text = lines_.str();
        lines_.str({});
        return text;
    }
    Backend& backend() { return backend_; }
    QueryContext& context() { return context_; }
    WmiProvider* provider() { return backend_.provider.get(); }
    SystemProbes* probes() { return backend_.probes.get(); }

private:
    std::ostringstream lines_;
    Backend backend_;
    QueryContext context_;
};

}  // namespace moravel::testing
