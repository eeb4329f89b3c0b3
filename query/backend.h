// A backend is one provider of WMI answers together with its system probes: the platform's own,
// or a snapshot file's. Front ends pick one at start-up and install it for the query layer.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

struct Backend {
    std::unique_ptr<WmiProvider> provider;
    std::unique_ptr<SystemProbes> probes;

    // Makes this backend the one queryWmiText and the probes use.
    void install() const;
};

// A snapshot file that cannot be used; what() is one line naming the file and the problem.
class SnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Backend makePlatformBackend();                       // query/linux or query/windows
Backend makeSnapshotBackend(const std::string& path);  // throws SnapshotError
// The same from JSON text; `name` stands for the file in error messages.
Backend makeSnapshotBackendFromJson(const std::string& json, const std::string& name);

// The snapshot named by MORAVEL_SNAPSHOT if set, else the platform's backend.
Backend makeBackendFromEnvironment();

}  // namespace moravel
