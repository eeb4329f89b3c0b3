// Prints where the window scripts click: the centre of every button of the main window and of
// the About window, in window coordinates, one "window label x y" line each. The scripts read
// the positions from the program rather than writing them down.
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>

#include <iostream>
#include <memory>

#include "app/main_window.h"
#include "commands/commands.h"
#include "query/backend.h"

namespace {

void printButtons(const char* name, const Fl_Double_Window& window) {
    for (int i = 0; i < window.children(); ++i) {
        const auto* button = dynamic_cast<const Fl_Button*>(window.child(i));
        if (!button || !button->label()) continue;
        std::cout << name << ' ' << button->label() << ' ' << button->x() + button->w() / 2 << ' '
                  << button->y() + button->h() / 2 << '\n';
    }
}

}  // namespace

int main() {
    moravel::Backend backend = moravel::makeBackendFromEnvironment();  // the scripts' snapshot
    backend.install();
    std::unique_ptr<Fl_Double_Window> main(moravel::makeMainWindow());
    printButtons("main", *main);
    Fl_Double_Window* open = nullptr;
    moravel::AboutHost host{open, [](Fl_Window&) {}, [] {}};
    std::unique_ptr<Fl_Double_Window> about(moravel::makeAboutWindow(host));
    printButtons("about", *about);
    return 0;
}
