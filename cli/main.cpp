// moravel-report: the inventory of the window, printed to the terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "io/file_writer.h"

int main(int argc, char** argv) {
    moravel::ignoreFileSizeSignal();  // also for a report on standard output beyond ulimit -f
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return moravel::runReport(arguments, std::cout, std::cerr);
}
