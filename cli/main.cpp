// moravel-report: the inventory of the window, printed to the terminal.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "io/console.h"
#include "io/file_writer.h"
#include "io/process.h"
#include "io/url.h"

namespace {

// The password of a URL argument, once the arguments are copied, is overwritten where the process
// list reads the command line (/proc/PID/cmdline): only the moment before shows it. Given with
// --credentials or --config instead, it is never there.
void hidePasswordArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const auto& [begin, end] : moravel::passwordSpans(argv[i])) std::fill(argv[i] + begin, argv[i] + end, '*');
}

}  // namespace

int main(int argc, char** argv) {
    moravel::ignoreFileSizeSignal();  // also for a report on standard output beyond ulimit -f
    std::vector<std::string> arguments = moravel::commandLineArguments(argc, argv);
    if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's name
    hidePasswordArguments(argc, argv);
    moravel::ConsoleStreams console;
    return moravel::runReport(arguments, std::cout, std::cerr);
}
