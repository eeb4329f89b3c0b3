// The window program's state in one place: the references to its windows (not owning: the
// toolkit owns them), the notice decision, the share menu's switch, and what the share commands
// hand out. The program makes one in main and hands it to start-up, which hands it on; a test
// makes its own.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "compare/compare.h"
#include "details/details.h"
#include "inventory/inventory.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "sections/collector.h"

class Fl_Double_Window;
class Fl_Progress;

namespace moravel {

struct AppState {
    Fl_Double_Window* mainWindow = nullptr;   // set once start-up has built it
    Fl_Double_Window* waitWindow = nullptr;   // set while the progress window is shown
    Fl_Progress* progressBar = nullptr;       // set by makeWaitWindow, never cleared
    Fl_Double_Window* aboutWindow = nullptr;  // set while an About window is open
    Fl_Double_Window* detailsWindow = nullptr;  // set while the Details window is open
    bool noticeMode = false;                  // taken once at start-up
    bool displayPrepared = false;             // prepareDisplay changed the environment

    bool hideIdentifiers = false;  // the share menu's "Hide serial numbers and addresses"
    // The machine's backend, and the view of it the window is built through, which keeps every
    // answer in `record`; the report the window shows (share.cpp).
    Backend* live = nullptr;
    Backend recording;
    QueryContext context;  // over `recording`: what the window is built through
    std::shared_ptr<SnapshotData> record = std::make_shared<SnapshotData>();
    std::vector<GroupRecord> shown;
    // The snapshot the window is compared with and the machine's side of it, while a comparison
    // is on.
    struct Compared {
        CompareSide snapshot;
        CompareSide machine;
    };
    std::optional<Compared> compared;
    // The inventory as read into `record`, once, for the first comparison or the Details window;
    // the Details list as read and hidden.
    std::optional<Inventory> inventory;
    std::optional<DetailsList> details, hiddenDetails;
};

}  // namespace moravel
