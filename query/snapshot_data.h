// What a snapshot file holds once read: the objects of each class, the probe values, and the
// failures staged for particular queries.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "query/probes.h"
#include "query/wmi_provider.h"
#include "query/wmi_value.h"

namespace moravel {

// The type a plain JSON array stands for; WMI's own arrays are mostly string arrays.
constexpr std::uint16_t kPlainArrayType = vt::Array | vt::Bstr;

// The platform call of a query cycle at which a staged failure strikes, and its code.
using StagedFailure = CycleFailure;

using SnapshotObject = std::map<std::string, WmiValue>;

struct SnapshotData {
    std::map<std::string, std::vector<SnapshotObject>> classes;
    MemoryStatus memory;
    std::vector<HardwareAddress> adapters;
    bool adaptersHidden = false;  // the file lists the addresses as "XX-XX-...": all zero bytes here
    std::optional<OsVersion> osVersion;
    std::map<std::string, StagedFailure> failures;  // by query text
};

// The Windows name of a step as the file spells it ("CoInitializeEx", ...).
const char* stepName(CycleStep step);

// Reads snapshot JSON; `name` stands for the file in the message of the SnapshotError thrown
// for anything that is not a snapshot.
SnapshotData parseSnapshot(const std::string& json, const std::string& name);

}  // namespace moravel
