// moravel: the inventory window.
#include <cstdlib>
#include <iostream>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "app/platform.h"
#include "app/share.h"
#include "app/startup.h"
#include "io/file_writer.h"
#include "io/process.h"
#include "providers/backends.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "text/terminal.h"

namespace {

// MORAVEL_SNAPSHOT=FILE shows a recorded machine; a file that cannot be used ends the program
// before any window opens.
moravel::Backend chooseBackend() {
    try {
        return moravel::makeBackendFromEnvironment();
    } catch (const moravel::SnapshotError& error) {
        moravel::tellStartFailure(moravel::visibleText(error.what()));  // one line, whatever the name holds
        std::exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    moravel::ignoreFileSizeSignal();  // a save beyond ulimit -f is told in its message box
    moravel::prepareDisplay();
    moravel::Backend backend = chooseBackend();
    moravel::installRecordedBackend(backend);  // the share menu composes its reports from the answers kept
    Fl::scheme("plastic");
    moravel::useArialMetricFaces();
    Fl_Window::default_xclass("moravel");  // desktops match the window to moravel.desktop by this

    // The toolkit takes UTF-8; on Windows the C runtime's argv is in the system code page.
    static moravel::ArgumentVector arguments(moravel::commandLineArguments(argc, argv));
    moravel::startMainWindow(arguments.argc(), arguments.argv());
    return Fl::run();
}
