#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/fd.h"
#include "io/open_file.h"
#include "io/secret_file.h"

namespace moravel {

std::optional<std::string> readSecretFile(const std::string& path, std::size_t limit, SecretFile& file) {
    // Without waiting for a FIFO's writer: one without a writer reads as empty.
    FdCloser fd{openForReading(path)};
    struct stat info;
    if (fd.fd < 0 || ::fstat(fd.fd, &info) != 0) return std::string(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return std::string("is a folder");
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) return std::string("is not a regular file");
    ::fcntl(fd.fd, F_SETFL, ::fcntl(fd.fd, F_GETFL) & ~O_NONBLOCK);
    file.othersMayRead = S_ISREG(info.st_mode) && (info.st_mode & S_IROTH);
    file.text.clear();
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(fd.fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::string(std::strerror(errno));
        if (n == 0) return std::nullopt;
        file.text.append(chunk, static_cast<std::size_t>(n));
        if (file.text.size() > limit) return "is larger than " + std::to_string(limit) + " bytes";
    }
}

}  // namespace moravel
