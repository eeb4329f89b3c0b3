// The snapshot backend: a recorded machine answering as the live one would.
#pragma once

#include <stdexcept>
#include <string>

#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"

namespace moravel {

// A snapshot file that cannot be used; what() is one line naming the file and the problem.
class SnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Backend makeSnapshotBackend(const std::string& path);  // throws SnapshotError
Backend makeSnapshotBackend(SnapshotData data);
// The same from JSON text; `name` stands for the file in error messages.
Backend makeSnapshotBackendFromJson(const std::string& json, const std::string& name);

}  // namespace moravel
