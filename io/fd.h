// The one owner of a file descriptor (a file, a socket; on Windows a C runtime descriptor):
// closed when it goes out of scope; -1 holds nothing. Setting `fd` to -1 hands the descriptor on
// instead.
#pragma once

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace moravel {

struct FdCloser {
    explicit FdCloser(int descriptor) : fd(descriptor) {}
    ~FdCloser() {
#ifdef _WIN32
        if (fd >= 0) ::_close(fd);
#else
        if (fd >= 0) ::close(fd);
#endif
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

    int fd;
};

}  // namespace moravel
