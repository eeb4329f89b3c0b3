// Standard output and standard error as a person at a console reads them. On Windows a console
// is written with WriteConsoleW, so the UTF-8 the program writes ("→", "Données", "Иван") shows
// as those letters in cmd and PowerShell whatever the console's code page; a stream that is
// redirected to a file or a pipe gets the bytes unchanged. Elsewhere the terminal takes UTF-8 as
// it is, and nothing changes.
#pragma once

#include <memory>
#include <string>

namespace moravel {

// While it lives, std::cout and std::cerr write to the console where they are one; it flushes
// and puts the streams back when it goes.
class ConsoleStreams {
public:
    ConsoleStreams();
    ~ConsoleStreams();
    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

    struct Redirection;  // one stream's console writer and the buffer it replaced

private:
    std::unique_ptr<Redirection> out_;
    std::unique_ptr<Redirection> err_;
};

}  // namespace moravel
