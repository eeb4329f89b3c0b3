// Installs a backend for the length of one test and captures the query layer's diagnostic lines;
// whatever was installed before is current again afterwards.
#pragma once

#include <sstream>
#include <string>
#include <utility>

#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel::testing {

class InstalledBackend {
public:
    explicit InstalledBackend(Backend backend) : scope_(std::move(backend), &lines_) {}
    static InstalledBackend fromJson(const std::string& json) {
        return InstalledBackend(makeSnapshotBackendFromJson(json, "test.json"));
    }

    // The diagnostic lines written since the last call.
    std::string takeLines() {
        std::string text = lines_.str();
        lines_.str({});
        return text;
    }
    Backend& backend() { return scope_.backend(); }

private:
    std::ostringstream lines_;
    ScopedBackend scope_;
};

}  // namespace moravel::testing
