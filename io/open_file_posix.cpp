#include <fcntl.h>

#include "io/open_file.h"

namespace moravel {

int openForReading(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY); }

}  // namespace moravel
