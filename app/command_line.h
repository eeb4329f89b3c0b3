// The window program's command line at start-up: its own options answered (--help, --version),
// the toolkit's handed to the toolkit, and a snapshot that cannot be used told in a message box,
// since a window program may have no terminal to tell it on.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/window_options.h"

namespace moravel {

// The toolkit's own reading of the option at `arguments[at]` (Fl::arg), which takes its effect
// at once; the toolkit keeps pointers into `arguments` until the main window is shown.
int toolkitOption(const std::vector<std::string>& arguments, std::size_t at);

// Reads `arguments` into `options`. Returns the exit status when the program ends here: 0 after
// printing the help or the version on `out`, 2 after one line on `err` for a command line that
// cannot be used.
std::optional<int> readCommandLine(const std::vector<std::string>& arguments, WindowOptions& options, std::ostream& out,
                                   std::ostream& err);

// A snapshot that cannot be used: `reason` as one line (text/terminal.h) on `err` and in a
// message box, then the program ends with status 2, also when no display can be opened for it.
[[noreturn]] void refuseSnapshot(const std::string& reason, std::ostream& err);

// The title of refuseSnapshot's message box.
constexpr const char* kSnapshotRefusedTitle = "Snapshot not opened";

// argv for Fl_Window::show(argc, argv): pointers into `arguments`, which must outlive it.
std::vector<char*> toolkitArgv(const std::vector<std::string>& arguments);

}  // namespace moravel
