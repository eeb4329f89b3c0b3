#include "io/process.h"

namespace moravel {

ArgumentVector::ArgumentVector(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
}

}  // namespace moravel
