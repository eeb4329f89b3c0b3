// The snapshot reader alone: any bytes give a snapshot whose every object can be read, or one
// error line of bounded length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        moravel::SnapshotData snapshot =
            moravel::parseSnapshot(std::string(reinterpret_cast<const char*>(data), size), "f.json");
        for (const auto& entry : snapshot.fileClasses)
            for (moravel::ObjectSpan span : entry.second) moravel::snapshotObject(snapshot, span);
    } catch (const moravel::SnapshotError& error) {
        std::string line = error.what();
        if (line.find('\n') != std::string::npos || line.size() > 1024) std::abort();
    }
    return 0;
}
