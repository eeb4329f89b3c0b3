// moravel-report: the inventory of the window, printed to the terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "io/console.h"
#include "io/file_writer.h"
#include "io/process.h"

int main(int argc, char** argv) {
    moravel::ignoreFileSizeSignal();  // also for a report on standard output beyond ulimit -f
    std::vector<std::string> arguments = moravel::commandLineArguments(argc, argv);
    if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's name
    moravel::ConsoleStreams console;
    return moravel::runReport(arguments, std::cout, std::cerr);
}
