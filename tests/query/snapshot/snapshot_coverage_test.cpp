// A saved snapshot must answer every read the groups and the inventory make, or a field recorded
// on one machine reads as missing elsewhere. The groups' reads are traced over machines that
// between them take every branch of the groups, and compared with what the class table has the
// writer record; the inventory reads every recorded property of the classes it asks for.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_classes.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/support/fake_backend.h"
#include "tests/support/query_trace.h"

namespace moravel::testing {
namespace {

using Pairs = std::set<std::string>;

// The (class, property) pairs all eight groups read from the backend's machine.
Pairs readsOf(Backend backend) {
    TracingProvider tracing(*backend.provider);
    std::ostringstream lines;  // the groups' diagnostic lines, not this test's concern
    QueryContext traced{&tracing.provider(), backend.probes.get(), &lines};
    ReportCollector sink;
    buildAllGroups(traced, sink);
    Pairs pairs;
    for (const std::string& read : tracing.reads())
        if (read.find('.') != std::string::npos) pairs.insert(read);
    return pairs;
}

// What the class table has snapshots record.
Pairs recordedPairs() {
    Pairs pairs;
    for (const WmiClass* recorded : recordedClasses())
        for (const WmiProperty& property : recorded->properties)
            if (property.recorded) pairs.insert(std::string(recorded->name) + "." + property.name);
    return pairs;
}

// Every (class, property) pair the groups read, over machines that take every branch.
Pairs groupReads() {
    // Every class has one object that answers every property: with its own name, then empty.
    Pairs read = readsOf(makeFakeBackend(std::nullopt, PropertyText::Name));
    Pairs more = readsOf(makeFakeBackend(std::nullopt, PropertyText::Empty));
    read.insert(more.begin(), more.end());
    // Recorded machines take the branches that want particular values ("Ethernet 802.3", "IDE").
    for (const char* machine : {"desktop.json", "laptop.json"}) {
        more = readsOf(makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + machine));
        read.insert(more.begin(), more.end());
    }
    return read;
}

TEST(SnapshotCoverage, TheWriterRecordsEverythingTheGroupsRead) {
    Pairs read = groupReads(), recorded = recordedPairs(), missing;
    std::set_difference(read.begin(), read.end(), recorded.begin(), recorded.end(),
                        std::inserter(missing, missing.end()));
    EXPECT_EQ(missing, Pairs());
    EXPECT_EQ(read.count("Win32_PhysicalMedia.SerialNumber"), 1u);  // the trace saw the reads, not nothing
}

TEST(SnapshotCoverage, EveryRecordedClassIsReadByTheGroupsOrTheInventory) {
    Pairs classes;
    for (const std::string& pair : groupReads()) classes.insert(pair.substr(0, pair.find('.')));
    Backend machine = makeFakeBackend(std::nullopt, PropertyText::Name);
    TracingProvider tracing(*machine.provider);
    readInventory(&tracing.provider(), nullptr);
    for (const std::string& read : tracing.reads()) classes.insert(read.substr(0, read.find('.')));
    for (const WmiClass* recorded : recordedClasses()) EXPECT_EQ(classes.count(recorded->name), 1u) << recorded->name;
}

}  // namespace
}  // namespace moravel::testing
