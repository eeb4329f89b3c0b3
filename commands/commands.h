// The commands behind the Print and About buttons.
#pragma once

class Fl_Widget;
class Fl_Double_Window;

namespace moravel {

// Prints the window of the frame box `data` on one page at scale 0.7.
void onPrintButton(Fl_Widget* widget, void* data);

// Opens the single, non-modal About window.
void onAboutButton(Fl_Widget* widget, void* data);
Fl_Double_Window* makeAboutWindow();
void onAboutClose(Fl_Widget* widget, void* data);

}  // namespace moravel
