#include "io/console.h"

namespace moravel {

struct ConsoleStreams::Redirection {};

ConsoleStreams::ConsoleStreams() = default;
ConsoleStreams::~ConsoleStreams() = default;

}  // namespace moravel
