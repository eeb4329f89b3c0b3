// The main window's popup menu and its shortcuts: Copy report, Save report..., Save
// snapshot..., the switch that hides serial numbers and addresses in all three, Compare with
// snapshot... and Clear comparison, which mark the fields that differ from a snapshot, and
// Details..., the window with everything the inventory holds.
#pragma once

#include <string>

#include "app/app_state.h"

class Fl_Widget;

namespace moravel {

// Handles a right click (opens the menu) or one of the menu's shortcuts; true when it did.
bool handleShareEvent(AppState& state, int event);

// Whether the key event under way is one of the menu's shortcuts, which the fields pass on.
bool isShareShortcut();

// The commands; `data` is the AppState.
void onCopyReport(Fl_Widget* widget, void* data);
void onSaveReport(Fl_Widget* widget, void* data);
void onSaveSnapshot(Fl_Widget* widget, void* data);
void onHideSwitch(Fl_Widget* widget, void* data);
void onCompareWithSnapshot(Fl_Widget* widget, void* data);
void onClearComparison(Fl_Widget* widget, void* data);

// Compares the main window's machine with the snapshot at `path` and marks the window's fields
// that differ; a snapshot that cannot be used is told in a message box and changes nothing.
// True when compared.
bool compareWithSnapshot(AppState& state, const std::string& path);

// Writes `content` to `path` whole or not at all; a failure is told in a message box naming
// the file and the reason. True when written.
bool saveWithMessage(const char* path, const std::string& content);

}  // namespace moravel
