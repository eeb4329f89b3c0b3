// The window program's command line: its own options, a snapshot to show, and the toolkit's
// standard options (-geometry, -display, -scheme, ...), which go on to the main window. Text in,
// no toolkit and no platform: each platform hands in its arguments as UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace moravel {

struct WindowOptions {
    bool help = false;
    bool version = false;
    std::string snapshot;  // --snapshot FILE, or a file given as the one plain argument
    // The program's name and the toolkit's options, in the order given, for the main window.
    std::vector<std::string> toolkitArguments;
};

// How many words the toolkit's option at `arguments[at]` takes (1 or 2); 0 when the toolkit
// does not know it.
using ToolkitOption = std::function<int(const std::vector<std::string>& arguments, std::size_t at)>;

// `arguments` as the program got them, its name first. Throws UsageError (cli/options.h) for a
// command line that cannot be used.
WindowOptions parseWindowOptions(const std::vector<std::string>& arguments, const ToolkitOption& toolkitOption);

extern const char* const kWindowUsage;

}  // namespace moravel
