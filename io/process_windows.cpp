#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "io/process.h"
#include "text/wide.h"

namespace moravel {
namespace {

// CommandLineToArgvW's one block, freed with LocalFree.
class WideArguments {
public:
    WideArguments() : arguments_(CommandLineToArgvW(GetCommandLineW(), &count_)) {}
    ~WideArguments() {
        if (arguments_) LocalFree(arguments_);
    }
    WideArguments(const WideArguments&) = delete;
    WideArguments& operator=(const WideArguments&) = delete;
    explicit operator bool() const { return arguments_ != nullptr; }
    std::vector<std::string> utf8() const {
        std::vector<std::string> texts;
        for (int i = 0; i < count_; ++i) texts.push_back(toUtf8(arguments_[i]));
        return texts;
    }

private:
    int count_ = 0;
    LPWSTR* arguments_;
};

}  // namespace

// The C runtime's argv holds the arguments in the system code page, with "?" for each letter
// it lacks; the wide command line holds them as typed.
std::vector<std::string> commandLineArguments(int argc, char** argv) {
    WideArguments wide;
    if (wide) return wide.utf8();
    return {argv, argv + argc};
}

std::optional<std::string> environmentValue(const char* name) {
    const wchar_t* value = _wgetenv(toWide(name).c_str());
    return value ? std::optional<std::string>(toUtf8(value)) : std::nullopt;
}

}  // namespace moravel
