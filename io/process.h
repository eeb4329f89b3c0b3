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

// C's argc and argv over UTF-8 arguments, for a toolkit that takes them so; the strings live
// as long as this does.
class ArgumentVector {
public:
    explicit ArgumentVector(std::vector<std::string> arguments);
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;
    int argc() const { return static_cast<int>(arguments_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;  // one per argument, then a null pointer as C's argv ends
};

}  // namespace moravel
