// What the process is handed from outside, as UTF-8 text: its command line and its environment.
// On Windows both are read wide (GetCommandLineW, _wgetenv), so a name in any script arrives
// whole and not as the system code page can spell it; elsewhere they are the bytes given.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace moravel {

// Every argument, the program's name first.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// An environment variable's value; nothing when it is not set.
std::optional<std::string> environmentValue(const char* name);

}  // namespace moravel
