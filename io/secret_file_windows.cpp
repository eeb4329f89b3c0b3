// Windows keeps who may read a file in its access list, which this does not judge.
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "io/fd.h"
#include "io/open_file.h"
#include "io/secret_file.h"

namespace moravel {

std::optional<std::string> readSecretFile(const std::string& path, std::size_t limit, SecretFile& file) {
    FdCloser opened{openForReading(path)};
    const int fd = opened.fd;
    if (fd < 0) return std::string(std::strerror(errno));
    struct _stat64 info;
    std::optional<std::string> problem;
    if (::_fstat64(fd, &info) != 0) problem = std::strerror(errno);
    else if (info.st_mode & _S_IFDIR) problem = "is a folder";
    file.othersMayRead = false;
    file.text.clear();
    char chunk[4096];
    while (!problem) {
        int n = ::_read(fd, chunk, sizeof chunk);
        if (n < 0) problem = std::strerror(errno);
        if (n <= 0) break;
        file.text.append(chunk, static_cast<std::size_t>(n));
        if (file.text.size() > limit) problem = "is larger than " + std::to_string(limit) + " bytes";
    }
    return problem;
}

}  // namespace moravel
