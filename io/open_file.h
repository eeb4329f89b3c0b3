// Opening a file for reading by its UTF-8 name, as a C runtime descriptor (close it with FdCloser).
#pragma once

#include <string>

namespace moravel {

// The descriptor, or -1 with errno set. On Windows the name is opened wide (_wopen) in binary
// mode; elsewhere without waiting for a FIFO's writer and never as a controlling terminal.
int openForReading(const std::string& path);

}  // namespace moravel
