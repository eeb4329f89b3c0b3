#include <fcntl.h>
#include <io.h>

#include "io/open_file.h"
#include "text/wide.h"

namespace moravel {

int openForReading(const std::string& path) { return ::_wopen(toWide(path).c_str(), _O_RDONLY | _O_BINARY); }

}  // namespace moravel
