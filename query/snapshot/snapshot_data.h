// What a snapshot file holds once read: the objects of each class, the probe values, and the
// failures staged for particular queries.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Snapshots are tens of kilobytes; a larger file is refused before it is read whole.
constexpr std::size_t kMaxSnapshotBytes = 32u << 20;

// Where one object of a class stands in the file's text, bytes [begin, end).
struct ObjectSpan {
    std::uint32_t begin;
    std::uint32_t end;
};

struct SnapshotData {
    // Objects held as values, as a recording keeps them.
    std::map<std::string, std::vector<SnapshotObject>> classes;
    // The objects of a file stay its text until one is asked for, so a class of a million
    // objects costs eight bytes per object beside the text.
    std::string text;
    std::map<std::string, std::vector<ObjectSpan>> fileClasses;
    MemoryStatus memory;
    std::vector<HardwareAddress> adapters;
    bool adaptersHidden = false;  // the file lists the addresses as "XX-XX-...": all zero bytes here
    bool redacted = false;        // saved through redaction: the file says so
    std::optional<OsVersion> osVersion;
    std::optional<std::string> machineGuid;
    std::optional<std::string> hypervisor;  // empty text: the machine said it runs on hardware
    std::map<std::string, StagedFailure> failures;  // by query text
};

// The Windows name of a step as the file spells it ("CoInitializeEx", ...).
const char* stepName(CycleStep step);

// Reads snapshot JSON; `name` stands for the file in the message of the SnapshotError thrown
// for anything that is not a snapshot. Every object is checked here, so reading one later
// cannot fail.
SnapshotData parseSnapshot(std::string json, const std::string& name);

// The snapshot file at `path`, read whole (within kMaxSnapshotBytes) and parsed; throws
// SnapshotError (snapshot_provider.h) for a file that cannot be read or is not a snapshot.
SnapshotData readSnapshotFile(const std::string& path);

// The object of a class that `span` locates in `data.text`.
SnapshotObject snapshotObject(const SnapshotData& data, ObjectSpan span);

}  // namespace moravel
