// Windows' own words for an error code, for the messages Moravel writes.
#pragma once

#include <string>

namespace moravel {

// The message text of `code` from `module`'s message table, else the system's, as
// UTF-8 on one line without its final full stop; empty when there is none.
std::string systemMessage(unsigned long code, void* module = nullptr);

}  // namespace moravel
