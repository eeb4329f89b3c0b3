// moravel: the inventory window.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "app/command_line.h"
#include "app/platform.h"
#include "app/share.h"
#include "app/startup.h"
#include "io/file_writer.h"
#include "io/process.h"
#include "providers/backends.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"

namespace {

// --snapshot FILE (or a file given alone), else MORAVEL_SNAPSHOT, else this machine. A snapshot
// that cannot be used ends the program before the version test.
moravel::Backend chooseBackend(const std::string& snapshot) {
    try {
        return snapshot.empty() ? moravel::makeBackendFromEnvironment() : moravel::makeSnapshotBackend(snapshot);
    } catch (const moravel::SnapshotError& error) {
        moravel::refuseSnapshot(error.what(), std::cerr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    moravel::ignoreFileSizeSignal();  // a save beyond ulimit -f is told in its message box
    moravel::AppState state;
    state.displayPrepared = moravel::prepareDisplay();
    Fl::scheme("plastic");  // before the command line, whose -scheme may name another
    // The toolkit keeps pointers into the arguments until the main window is shown. UTF-8, as
    // typed: on Windows read wide, where the C runtime's argv has the system code page's letters.
    const std::vector<std::string> arguments = moravel::commandLineArguments(argc, argv);
    moravel::WindowOptions options;
    if (std::optional<int> status = moravel::readCommandLine(arguments, options, std::cout, std::cerr)) return *status;
    moravel::Backend backend = chooseBackend(options.snapshot);
    moravel::installRecordedBackend(state, backend);  // the share menu composes its reports from the answers kept
    moravel::useArialMetricFaces();
    Fl_Window::default_xclass("moravel");  // desktops match the window to moravel.desktop by this

    std::vector<char*> toolkitArgv = moravel::toolkitArgv(options.toolkitArguments);
    moravel::startMainWindow(state, static_cast<int>(options.toolkitArguments.size()), toolkitArgv.data());
    return Fl::run();
}
