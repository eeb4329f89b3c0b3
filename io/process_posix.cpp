#include <cstdlib>

#include "io/process.h"

namespace moravel {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace moravel
