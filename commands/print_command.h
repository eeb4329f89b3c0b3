// The Print command's page: one job, one page, the window at the page origin, reduced to 0.7, or
// further when a window enlarged by the user would not fit the page at 0.7.
#pragma once

#include <algorithm>

#include <FL/Fl_Window.H>

namespace moravel {

constexpr float kPrintScale = 0.7f;

// 0.7 when the window fits the printable area at that scale, else the scale that just fits it.
inline float pageScale(int windowW, int windowH, int pageW, int pageH) {
    if (windowW <= 0 || windowH <= 0) return kPrintScale;
    const float fit = std::min(static_cast<float>(pageW) / static_cast<float>(windowW),
                               static_cast<float>(pageH) / static_cast<float>(windowH));
    return std::min(kPrintScale, fit);
}

// Runs one print job on `printer` (an Fl_Printer, or anything with its job and page calls).
// Returns false when the job was refused: the dialog was cancelled or the job could not start.
template <class Printer>
bool printWindowOnOnePage(Printer& printer, Fl_Window* window) {
    if (printer.start_job(1) != 0) return false;
    printer.start_page();
    int pageW = 0, pageH = 0;
    printer.printable_rect(&pageW, &pageH);  // before scaling: in the page's own units
    // The title bar and borders are printed too.
    const float scale = pageScale(window->decorated_w(), window->decorated_h(), pageW, pageH);
    printer.scale(scale, scale);
    printer.print_window(window, 0, 0);
    printer.end_page();
    printer.end_job();
    return true;
}

}  // namespace moravel
