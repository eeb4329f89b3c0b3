// Installs a backend for the length of one test, captures the query layer's diagnostic lines,
// and puts back whatever was installed before.
#pragma once

#include <sstream>
#include <string>
#include <utility>

#include "query/backend.h"
#include "query/wmi_query.h"

namespace moravel::testing {

class InstalledBackend {
public:
    explicit InstalledBackend(Backend backend)
        : backend_(std::move(backend)), previousProvider_(wmiProvider()), previousProbes_(systemProbes()),
          previousStream_(&diagnosticStream()) {
        backend_.install();
        setDiagnosticStream(lines_);
    }
    static InstalledBackend fromJson(const std::string& json) {
        return InstalledBackend(makeSnapshotBackendFromJson(json, "test.json"));
    }
    InstalledBackend(InstalledBackend&& other) = delete;
    ~InstalledBackend() {
        setWmiProvider(previousProvider_);
        setSystemProbes(previousProbes_);
        setDiagnosticStream(*previousStream_);
    }

    // The diagnostic lines written since the last call.
    std::string takeLines() {
        std::string text = lines_.str();
        lines_.str({});
        return text;
    }
    Backend& backend() { return backend_; }

private:
    Backend backend_;
    WmiProvider* previousProvider_;
    SystemProbes* previousProbes_;
    std::ostream* previousStream_;
    std::ostringstream lines_;
};

}  // namespace moravel::testing
