// The state folder on Windows: %ProgramData%\Moravel, made when it is missing.
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "io/device_state.h"

namespace moravel {

std::optional<std::string> stateDirectory() {
    const wchar_t* programData = _wgetenv(L"ProgramData");
    if (!programData || !*programData) return std::nullopt;
    std::filesystem::path directory = std::filesystem::path(programData) / L"Moravel";
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!std::filesystem::is_directory(directory, error)) return std::nullopt;
    return directory.u8string();
}

}  // namespace moravel
