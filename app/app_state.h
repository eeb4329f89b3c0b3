// Application state shared by start-up, the wait window and the commands. The references do not
// own their windows: the toolkit does.
#pragma once

class Fl_Double_Window;
class Fl_Progress;

namespace moravel {

extern Fl_Double_Window* mainWindow;   // set once start-up has built it
extern Fl_Double_Window* waitWindow;   // set while the progress window is shown
extern Fl_Progress* progressBar;       // set by makeWaitWindow, never cleared
extern Fl_Double_Window* aboutWindow;  // set while an About window is open
extern bool noticeMode;                // taken once at start-up

}  // namespace moravel
