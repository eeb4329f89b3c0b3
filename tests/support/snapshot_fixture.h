// Builds snapshot documents for tests and runs sections against them. Only this file and its
// .cpp know the snapshot format, so tests describe machines in a few lines:
//
//     SnapshotBuilder machine;
//     machine.add("Win32_BIOS", {{"Manufacturer", "AMI"}, {"ReleaseDate", nullptr}});
//     GroupRun run = runGroup(machine, biosGroup);
//     EXPECT_EQ(run.text("Release Date:"), "None");
//
// Property values: a JSON string is a string property, a number a 32-bit integer property,
// nullptr a property without a value; a property left out is one the class does not have.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "query/probes.h"
#include "query/query_context.h"
#include "sections/collector.h"

namespace moravel::testing {

class SnapshotBuilder {
public:
    // Appends one object to a class; objects keep the order in which they are added.
    SnapshotBuilder& add(const std::string& className, nlohmann::json properties);
    // Sets one property of object `index`, creating empty objects up to it.
    SnapshotBuilder& set(const std::string& className, int index, const std::string& property, nlohmann::json value);
    // An integer property as WMI types uint16 and uint32 values.
    SnapshotBuilder& setNumber(const std::string& className, int index, const std::string& property, long long value) {
        return set(className, index, property, value);
    }
    // A property without a value.
    SnapshotBuilder& setNull(const std::string& className, int index, const std::string& property) {
        return set(className, index, property, nullptr);
    }
    SnapshotBuilder& memory(std::uint32_t loadPercent, std::uint64_t availableBytes);
    // The adapter list of the system probe, in list order.
    SnapshotBuilder& adapters(std::vector<HardwareAddress> addresses);
    SnapshotBuilder& osVersion(std::uint32_t major, std::uint32_t minor);

    std::string json() const;

private:
    std::map<std::string, std::vector<nlohmann::json>> classes_;
    std::vector<std::string> classOrder_;
    nlohmann::json probes_ = nlohmann::json::object();
};

struct GroupRun {
    ReportCollector report;
    long queries = 0;
    // One entry per query cycle, "Class.Property" (just "Class" when the class had no object to
    // ask), in the order the cycles ran.
    std::vector<std::string> reads;
    // The diagnostic lines the query layer wrote during the run.
    std::string diagnostics;
    // The text of the first field with this caption, or "<no such field>".
    std::string text(const std::string& label) const;
    // The captions of the fields in order.
    std::vector<std::string> labels() const;
};

// Runs `sections` (one group or several) against the snapshot and counts its queries.
using Sections = std::function<void(QueryContext& context, ReportSink& sink)>;
GroupRun runGroup(const SnapshotBuilder& machine, const Sections& sections);
GroupRun runGroup(const std::string& snapshotJson, const Sections& sections);

}  // namespace moravel::testing
