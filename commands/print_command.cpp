#include "commands/commands.h"
#include "commands/print_command.h"

#include <FL/Fl_Printer.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

namespace moravel {

void onPrintButton(Fl_Widget* /*widget*/, void* data) {
    auto* frameBox = static_cast<Fl_Widget*>(data);
    Fl_Window* window = frameBox ? frameBox->window() : nullptr;
    if (!window) return;  // a button without its frame has nothing to print
    // A fresh printer per press: nothing of a cancelled or finished job survives.
    Fl_Printer printer;
    printWindowOnOnePage(printer, window);
}

}  // namespace moravel
