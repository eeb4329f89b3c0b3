#include "app/command_line.h"

#include <cstdlib>
#include <ostream>

#include <FL/Fl.H>

#include "app/platform.h"
#include "cli/options.h"
#include "moravel_version.h"
#include "text/terminal.h"

namespace moravel {
namespace {

// The toolkit ends the program when it cannot open the display; the refusal has been written
// on standard error by then, and its status stays 2.
void endRefused(const char*, ...) { std::exit(2); }

}  // namespace

std::vector<char*> toolkitArgv(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);  // the toolkit reads the word after an option without counting
    return argv;
}

int toolkitOption(const std::vector<std::string>& arguments, std::size_t at) {
    std::vector<char*> argv = toolkitArgv(arguments);
    int i = static_cast<int>(at);
    return Fl::arg(static_cast<int>(arguments.size()), argv.data(), i);
}

std::optional<int> readCommandLine(const std::vector<std::string>& arguments, WindowOptions& options, std::ostream& out,
                                   std::ostream& err) {
    try {
        options = parseWindowOptions(arguments, toolkitOption);
    } catch (const UsageError& error) {
        err << visibleText(std::string("moravel: ") + error.what() + " (see --help)") << std::endl;
        return 2;
    }
    if (options.help) out << kWindowUsage << std::flush;
    if (options.version && !options.help) out << "moravel " MORAVEL_VERSION << std::endl;
    if (options.help || options.version) return 0;
    return std::nullopt;
}

void refuseSnapshot(const std::string& reason, std::ostream& err) {
    const std::string line = visibleText(reason);  // one line, whatever the file's name holds
    err << line << std::endl;
    Fl::fatal = endRefused;
    showRefusalBox(kSnapshotRefusedTitle, line);
    std::exit(2);
}

}  // namespace moravel
