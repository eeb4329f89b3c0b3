// For the fuzz targets that take a snapshot's bytes: the backend they stand for, or nothing when
// the bytes are no snapshot (the reader's refusals have a target of their own).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel::testing {

inline std::optional<Backend> snapshotOfBytes(const std::uint8_t* data, std::size_t size) {
    try {
        return makeSnapshotBackendFromJson(std::string(reinterpret_cast<const char*>(data), size), "f.json");
    } catch (const SnapshotError&) {
        return std::nullopt;
    }
}

}  // namespace moravel::testing
