// A saved snapshot must answer every read the groups make, or a field recorded on one machine
// reads as missing elsewhere. The reads are traced over machines that between them take every
// branch of the groups, and compared with the writer's list.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/report_collector.h"
#include "query/snapshot/snapshot_writer.h"
#include "sections/sections.h"
#include "tests/support/fake_backend.h"
#include "tests/support/installed_backend.h"
#include "tests/support/query_trace.h"

namespace moravel::testing {
namespace {

using Pairs = std::set<std::string>;

// The (class, property) pairs all eight groups read from the backend's machine.
Pairs readsOf(Backend backend) {
    InstalledBackend installed(std::move(backend));
    TracingProvider tracing(*installed.backend().provider);
    setWmiProvider(&tracing);
    ReportCollector sink;
    buildAllGroups(sink);
    Pairs pairs;
    for (const std::string& read : tracing.reads)
        if (read.find('.') != std::string::npos) pairs.insert(read);
    return pairs;
}

Pairs recordedPairs() {
    Pairs pairs;
    for (const RecordedClass& recorded : recordedClasses())
        for (const char* property : recorded.properties) pairs.insert(std::string(recorded.name) + "." + property);
    return pairs;
}

TEST(SnapshotCoverage, TheWriterRecordsExactlyWhatTheGroupsRead) {
    // Every class has one object that answers every property: with its own name, then empty.
    Pairs read = readsOf(makeFakeBackend(std::nullopt, PropertyText::Name));
    Pairs more = readsOf(makeFakeBackend(std::nullopt, PropertyText::Empty));
    read.insert(more.begin(), more.end());
    // Recorded machines take the branches that want particular values ("Ethernet 802.3", "IDE").
    for (const char* machine : {"desktop.json", "laptop.json"}) {
        more = readsOf(makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + machine));
        read.insert(more.begin(), more.end());
    }
    EXPECT_EQ(recordedPairs(), read);
}

}  // namespace
}  // namespace moravel::testing
