// The few platform operations of the window program: the version numbers, the notice box and
// the program icon. platform_posix.cpp and platform_windows.cpp implement them.
#pragma once

#include <string>

#include "app/startup_rules.h"
#include "query/probes.h"

class Fl_Window;

namespace moravel {

// Called before the toolkit opens the display; true when it changed the environment.
bool prepareDisplay();

// Called once the display is open with what prepareDisplay answered: undoes what it changed in
// the environment, so programs started later get the environment Moravel was started with.
void restoreStartEnvironment(bool prepared);

// GetVersionExA's major and minor numbers, or the platform's own equivalent.
OsVersion platformOsVersion();

// The frame the system will draw around the main window (a resizable window with a title bar),
// so that start-up can keep it on the screen; none where the window manager keeps it there.
FrameSize mainWindowFrame();

// The box that tells why the program cannot start, titled `title`; returns when it is
// dismissed. Windows' own message box there, whose text a screen reader reads and Ctrl+C copies;
// the toolkit's elsewhere.
void showRefusalBox(const char* title, const std::string& text);

// A modal notice with the caption "Information"; returns when the user dismisses it.
void showNoticeBox(const char* text);

// Gives a window the program icon before it is shown (Fl_Window::icon or icons).
void setProgramIcon(Fl_Window& window);

// Makes the toolkit's Helvetica faces draw with Arial's metrics, as they do on Windows, so the
// captions laid out for those widths fit their gaps. Call before the first window is built.
void useArialMetricFaces();

// Puts on the screen what the toolkit has just drawn, before the program goes on working
// without looking at its events.
void presentDrawing();

// The icon pass after a window is shown: the first top-level window of this process gets the
// 32 x 32 and 16 x 16 icons.
void runIconPass();

}  // namespace moravel
