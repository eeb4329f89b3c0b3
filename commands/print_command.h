// The Print command's page: one job, one page, the window at the page origin, reduced to 0.7.
#pragma once

class Fl_Window;

namespace moravel {

constexpr float kPrintScale = 0.7f;

// Runs one print job on `printer` (an Fl_Printer, or anything with its job and page calls).
// Returns false when the job was refused: the dialog was cancelled or the job could not start.
template <class Printer>
bool printWindowOnOnePage(Printer& printer, Fl_Window* window) {
    if (printer.start_job(1) != 0) return false;
    printer.start_page();
    printer.scale(kPrintScale, kPrintScale);
    printer.print_window(window, 0, 0);
    printer.end_page();
    printer.end_job();
    return true;
}

}  // namespace moravel
