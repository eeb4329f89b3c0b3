// Prints where the window scripts click: the centre of every labelled button and field of the
// main window, the About window and the Details window, in window coordinates, one "window x y
// label" line each. The scripts read the positions from the program rather than writing them down.
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Output.H>

#include <iostream>
#include <memory>

#include "app/details_window.h"
#include "app/main_window.h"
#include "commands/commands.h"
#include "providers/backends.h"
#include "query/backend.h"

namespace {

void printWidgets(const char* name, Fl_Group& group) {
    for (int i = 0; i < group.children(); ++i) {
        Fl_Widget* widget = group.child(i);
        if (Fl_Group* inner = widget->as_group()) printWidgets(name, *inner);
        const bool clickable = dynamic_cast<Fl_Button*>(widget) || dynamic_cast<Fl_Output*>(widget);
        if (!clickable || !widget->label()) continue;
        std::cout << name << ' ' << widget->x() + widget->w() / 2 << ' ' << widget->y() + widget->h() / 2 << ' '
                  << widget->label() << '\n';
    }
}

}  // namespace

int main() {
    moravel::Backend backend = moravel::makeBackendFromEnvironment();  // the scripts' snapshot
    moravel::AppState state;
    state.context = backend.context();
    std::unique_ptr<Fl_Double_Window> main(moravel::makeMainWindow(state));
    printWidgets("main", *main);
    Fl_Double_Window* open = nullptr;
    moravel::AboutHost host{open, [](Fl_Window&) {}, [] {}};
    std::unique_ptr<Fl_Double_Window> about(moravel::makeAboutWindow(host));
    printWidgets("about", *about);
    moravel::DetailsWindow details(state);
    printWidgets("details", details);
    return 0;
}
