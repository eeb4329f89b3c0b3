// The commands behind the Print and About buttons. They know nothing of the program around
// them: the main window hands each one what it works on through the button's user data.
#pragma once

class Fl_Widget;
class Fl_Window;
class Fl_Double_Window;

namespace moravel {

// Prints the window of the frame box `data` on one page at scale 0.7.
void onPrintButton(Fl_Widget* widget, void* data);

// What the About command needs from the program: where the one open About window is kept, and
// the platform's icon calls (before a window is shown, and after).
struct AboutHost {
    Fl_Double_Window*& openWindow;
    void (*setIcon)(Fl_Window& window);
    void (*iconPass)();
};

// Opens the single, non-modal About window; `host` is the AboutHost.
void onAboutButton(Fl_Widget* widget, void* host);
Fl_Double_Window* makeAboutWindow(AboutHost& host);
void onAboutClose(Fl_Widget* widget, void* host);

}  // namespace moravel
