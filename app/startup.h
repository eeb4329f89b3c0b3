// Start-up and the end of the program: the version test, the notice or the wait window, the
// main window's build, placement and display.
#pragma once

#include "app/app_state.h"
#include "app/startup_rules.h"

class Fl_Widget;

namespace moravel {

constexpr const char* kNoticeText = "Retrieving system information... \nPress OK button and wait for a moment...";

// Runs once: everything from the version test to the shown main window with its icons.
void startMainWindow(AppState& state, int argc, char** argv);

// The version test: the version numbers the version line shows, and whether the user is told to
// wait by a message box instead of the wait window. Prints nothing; start-up prints the line.
// A version the probes supply (a snapshot's) decides anywhere.
VersionVerdict runVersionTest(SystemProbes* probes);

// Closing the main window in any way, or its OK button: the process ends with status 0. `data`
// is the AppState.
void onMainWindowClose(Fl_Widget* widget, void* data);

// The desktop without task bars, as the toolkit reports it.
ScreenRect screenWorkArea();

}  // namespace moravel
