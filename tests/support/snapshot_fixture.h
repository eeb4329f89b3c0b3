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

#include "app/report_collector.h"
#include "query/probes.h"

namespace moravel::testing {

class SnapshotBuilder {
public:
    // Appends one object to a class; objects keep the order in which they are added.
    SnapshotBuilder& add(const std::string& className, nlohmann::json properties);
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
    // The text of the first field with this caption, or "<no such field>".
    std::string text(const std::string& label) const;
};

// Runs `sections` (one group or several) against the snapshot and counts its queries.
GroupRun runGroup(const SnapshotBuilder& machine, const std::function<void(ReportSink&)>& sections);
GroupRun runGroup(const std::string& snapshotJson, const std::function<void(ReportSink&)>& sections);

}  // namespace moravel::testing
