// The one owner of a file descriptor (a file, a socket): closed when it goes out of scope; -1
// holds nothing. Setting `fd` to -1 hands the descriptor on instead.
#pragma once

#include <unistd.h>

namespace moravel {

struct FdCloser {
    explicit FdCloser(int descriptor) : fd(descriptor) {}
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

    int fd;
};

}  // namespace moravel
