#include <gtest/gtest.h>

#include <algorithm>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel::testing {
namespace {

TEST(AllGroups, EmptyMachineCostsAFixedNumberOfQueries) {
    const GroupRun run = runGroup(SnapshotBuilder{}, buildAllGroups);
    // System: name, owner and the computer system's name, system type, ending address, domain,
    // and 50 adapters of two reads each (106); BIOS 4; OS 4; CPU: name, the four values of "Spec:", clock, family,
    // maker, id (9); MotherBoard 4; VGA: three passes of eight controllers of two reads (48); Drives: six interface
    // types; Other: drive name, eleven sound devices of two reads, battery name and twenty printer captions (44).
    EXPECT_EQ(run.queries, 106 + 4 + 4 + 9 + 4 + 48 + 6 + 44);
}

TEST(AllGroups, GroupsInWindowOrderWithTheProgressPointsBetweenTheirFields) {
    const GroupRun run = runGroup(SnapshotBuilder{}, buildAllGroups);
    std::vector<std::string> groups;
    for (const GroupRecord& group : run.report.groups) groups.push_back(group.label);
    EXPECT_EQ(groups,
              (std::vector<std::string>{"System", "BIOS", "OS", "CPU", "MotherBoard", "VGA", "Drives", "Other"}));
    EXPECT_EQ(run.labels().size(), 38u);

    // Each progress point with the event just before it.
    std::vector<std::string> points;
    const auto& events = run.report.events;
    for (std::size_t i = 1; i < events.size(); ++i)
        if (events[i].rfind("progress ", 0) == 0) points.push_back(events[i - 1] + " -> " + events[i]);
    EXPECT_EQ(points, (std::vector<std::string>{"field Type: -> progress 0.25", "field Spec: -> progress 0.5",
                                                "field Manufacturer: -> progress 0.75", "end -> progress 1"}));
    // The last point follows the Drives group and precedes the Other group.
    const auto last = std::find(events.begin(), events.end(), "progress 1");
    ASSERT_NE(last, events.end());
    EXPECT_EQ(*(last + 1), "group Other");
}

}  // namespace
}  // namespace moravel::testing
