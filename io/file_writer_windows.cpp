// The Windows side of writeFileSafely: the text goes to a temporary file of a short name of its
// own beside the target, which then takes the target's name (MoveFileEx replaces it).
#include "io/file_writer.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace moravel {
namespace {

namespace fs = std::filesystem;

class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& folder) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            char name[32];
            std::snprintf(name, sizeof name, ".moravel-%08x.tmp", static_cast<unsigned>(random()));
            path_ = folder / name;
            // Exclusive: never someone else's file.
            fd_ = ::_wopen(path_.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
            error_ = errno;
            if (fd_ < 0 && errno != EEXIST) break;
        }
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::_close(fd_);
        std::error_code ignored;
        if (!kept_) fs::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    int error() const { return error_ ? error_ : EIO; }
    const fs::path& path() const { return path_; }
    int close() {
        int result = ::_close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }
    void keep() { kept_ = true; }

private:
    fs::path path_;
    int fd_ = -1;
    int error_ = 0;
    bool kept_ = false;
};

int writeAll(int fd, const std::string& content) {
    for (std::size_t done = 0; done < content.size();) {
        int n = ::_write(fd, content.data() + done,
                         static_cast<unsigned>(std::min<std::size_t>(content.size() - done, 1u << 30)));
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

void ignoreFileSizeSignal() {}  // Windows has no such signal

std::optional<std::string> writeFileSafely(const std::string& path, const std::string& content) {
    const fs::path target(path);
    std::error_code error;
    if (fs::is_directory(target, error)) return std::string("is a folder");
    TemporaryFile temporary(target.parent_path());
    if (temporary.fd() < 0) return std::string(std::strerror(temporary.error()));
    if (int problem = writeAll(temporary.fd(), content)) return std::string(std::strerror(problem));
    if (int problem = temporary.close()) return std::string(std::strerror(problem));
    fs::rename(temporary.path(), target, error);
    if (error) return error.message();
    temporary.keep();
    return std::nullopt;
}

}  // namespace moravel
