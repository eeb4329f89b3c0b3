// The console on Windows, for the standard streams and for `--output CON`.
#pragma once

#include <string_view>

namespace moravel {

// Whether a handle is a console (GetConsoleMode answers for consoles only).
bool isConsole(void* handle);

// Writes UTF-8 text with WriteConsoleW; false when the console refuses it.
bool writeToConsole(void* handle, std::string_view text);

}  // namespace moravel
