// moravel-report: the inventory of the window, printed to the terminal.
#include <iostream>
#include <string>
#include <vector>

#include "app/report_run.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return moravel::runReport(arguments, std::cout, std::cerr);
}
