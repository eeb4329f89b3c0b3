// The small borderless window with the progress bar, shown while the main window is built.
#pragma once

#include "app/app_state.h"

class Fl_Widget;

namespace moravel {

// Builds, centres and shows the wait window at 0 %, sets waitWindow and progressBar, and lets
// the toolkit draw it before the long build begins.
void makeWaitWindow(AppState& state);

// Moves the bar to `fraction`, shows the percent label when the fraction is one of the table's,
// and lets the toolkit handle pending events.
void setProgress(AppState& state, float fraction);

void onWaitWindowClose(Fl_Widget* widget, void* data);  // `data` is the AppState

// The percent label of a fraction of the table ("25 %"), or nullptr for any other fraction.
// The texts are static: the bar shows them without copying.
const char* percentLabel(float fraction);

}  // namespace moravel
