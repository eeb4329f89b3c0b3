// Start-up and the end of the program: the version test, the notice or the wait window, the
// main window's build, placement and display.
#pragma once

#include "app/startup_rules.h"

class Fl_Widget;

namespace moravel {

constexpr const char* kNoticeText = "Retrieving system information... \nPress OK button and wait for a moment...";

// Runs once: everything from the version test to the shown main window with its icons.
void startMainWindow(int argc, char** argv);

// The version test: the version numbers the version line shows, and whether the user is told to
// wait by a message box instead of the wait window. Prints nothing; start-up prints the line.
VersionVerdict runVersionTest();

// Closing the main window in any way, or its OK button: the process ends with status 0.
void onMainWindowClose(Fl_Widget* widget, void* data);

// The desktop without task bars, as the toolkit reports it.
ScreenRect screenWorkArea();

}  // namespace moravel
