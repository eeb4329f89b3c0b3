// Every kind of the inventory is read from the classes it declares and is written to both
// servers' documents and compared, or the table that leaves it out says "none" and why.
#include <gtest/gtest.h>

#include <algorithm>

#include "compare/compare.h"
#include "details/details.h"
#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "inventory/kinds.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_classes.h"

namespace moravel {
namespace {

void expectEveryKindOnce(const char* table, const std::vector<KindCoverage>& coverage) {
    for (const InventoryKindInfo& kind : inventoryKinds()) {
        auto same = [&](const KindCoverage& entry) { return entry.kind == kind.kind; };
        auto entry = std::find_if(coverage.begin(), coverage.end(), same);
        if (entry == coverage.end()) {
            ADD_FAILURE() << table << " does not say what it does with " << kind.name << " (a handler or \"none\")";
            continue;
        }
        EXPECT_EQ(std::count_if(coverage.begin(), coverage.end(), same), 1)
            << table << " lists " << kind.name << " twice";
        EXPECT_TRUE(entry->handled || (entry->none && *entry->none))
            << table << " leaves out " << kind.name << " without saying why";
    }
    for (const KindCoverage& entry : coverage) {
        auto listed = [&](const InventoryKindInfo& kind) { return kind.kind == entry.kind; };
        EXPECT_TRUE(std::any_of(inventoryKinds().begin(), inventoryKinds().end(), listed))
            << table << " has kind " << static_cast<int>(entry.kind) << ", which inventoryKinds() does not list";
    }
}

TEST(InventoryKinds, EachIsWrittenForBothServersAndComparedOrSaysNone) {
    expectEveryKindOnce("the GLPI document (export/glpi_json.cpp)", glpiKindCoverage());
    expectEveryKindOnce("the OCS request (export/ocs_xml.cpp)", ocsKindCoverage());
    expectEveryKindOnce("the comparison (compare/items.cpp)", comparisonKindCoverage());
    expectEveryKindOnce("the Details list (details/groups.cpp)", detailsKindCoverage());
}

// The classes a kind declares are those its reader reads (a snapshot that holds them all), and
// each is in the class table, so snapshots record it.
TEST(InventoryKinds, EachReadsTheClassesItDeclares) {
    Backend machine = makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/workstation.json");
    for (const InventoryKindInfo& kind : inventoryKinds()) {
        ClassSource source(machine.provider.get(), machine.probes.get());
        Inventory inventory;
        kind.read(source, inventory);
        std::vector<std::string> declared = kind.classes;
        std::sort(declared.begin(), declared.end());
        EXPECT_EQ(source.classesRead(), declared) << kind.name;
        for (const std::string& name : kind.classes)
            EXPECT_NE(findWmiClass(name), nullptr) << kind.name << ": " << name;
    }
}

}  // namespace
}  // namespace moravel
