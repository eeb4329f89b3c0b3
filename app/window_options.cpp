#include "app/window_options.h"

#include "cli/options.h"

namespace moravel {
namespace {

// The toolkit's options are a dash and a word ("-geometry", "-g"); "--" options are ours.
bool mayBeToolkitOption(const std::string& argument) { return argument.size() > 1 && argument[1] != '-'; }

void takeFile(const std::string& argument, WindowOptions& options) {
    if (!options.snapshot.empty())
        throw UsageError("unexpected argument '" + argument + "': the window shows one snapshot");
    options.snapshot = argument;
}

}  // namespace

const char* const kWindowUsage =
    "Usage: moravel [OPTION]... [SNAPSHOT]\n"
    "Show the computer's inventory in one window: 38 fields in eight groups, and\n"
    "everything else it holds in the Details window.\n"
    "\n"
    "  --snapshot FILE   show the machine recorded in the snapshot FILE instead of this\n"
    "                    computer; a file given alone (as a file manager passes it) is\n"
    "                    taken the same way, and so is MORAVEL_SNAPSHOT\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "The toolkit's own options apply to the window:\n"
    "  -geometry WxH+X+Y, -display HOST:N.N, -scheme NAME, -title TEXT, -name CLASS,\n"
    "  -iconic, -bg COLOUR, -bg2 COLOUR, -fg COLOUR, -[no]kbd, -[no]dnd, -[no]tooltips\n"
    "\n"
    "A right click on the window opens its menu: Copy report (Ctrl+Shift+C), Save\n"
    "report... (Ctrl+S), Save snapshot..., Hide serial numbers and addresses, Compare\n"
    "with snapshot..., Clear comparison and Details... (Ctrl+D).\n"
    "\n"
    "Exit status: 0 when the window is closed; 2 when the command line or the snapshot\n"
    "cannot be used (a message box gives the reason for a snapshot).\n";

WindowOptions parseWindowOptions(const std::vector<std::string>& arguments, const ToolkitOption& toolkitOption) {
    WindowOptions options;
    options.toolkitArguments.push_back(arguments.empty() ? std::string("moravel") : arguments[0]);
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-")
            takeFile(argument, options);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument == "--version")
            options.version = true;
        else if (std::string file; takesValue(arguments, i, "--snapshot", file, "a file name"))
            takeFile(file, options);
        else if (const int words = mayBeToolkitOption(argument) ? toolkitOption(arguments, i) : 0; words > 0) {
            const std::size_t end = std::min(arguments.size(), i + static_cast<std::size_t>(words));
            options.toolkitArguments.insert(options.toolkitArguments.end(), arguments.begin() + static_cast<long>(i),
                                            arguments.begin() + static_cast<long>(end));
            i = end - 1;
        } else
            throw UsageError("unknown option '" + argument + "'");
    }
    return options;
}

}  // namespace moravel
