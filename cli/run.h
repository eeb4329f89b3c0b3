// The whole of moravel-report, apart from the process around it, so tests can run it in process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace moravel {

// Runs the report for `arguments` (without the program name); returns the exit status.
// `out` receives only the report (or the help and version texts); everything else goes to `err`.
int runReport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace moravel
