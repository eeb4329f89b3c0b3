// The Windows side of writeFileSafely: the text goes to a temporary file of a short name of its
// own beside the target, which then takes the target's name (MoveFileEx replaces it). Names are
// UTF-8 and opened wide. A device (NUL, CON, a COM port) or a named pipe (\\.\pipe\...) is
// written directly, as a device or a FIFO is elsewhere.
#include "io/file_writer.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "io/console_windows.h"
#include "io/fd.h"
#include "io/system_message_windows.h"

namespace moravel {
namespace {

namespace fs = std::filesystem;

class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& folder) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && file_.fd < 0; ++attempt) {
            char name[32];
            std::snprintf(name, sizeof name, ".moravel-%08x.tmp", static_cast<unsigned>(random()));
            path_ = folder / name;
            // Exclusive: never someone else's file.
            file_.fd = ::_wopen(path_.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
            error_ = errno;
            if (file_.fd < 0 && errno != EEXIST) break;
        }
    }
    ~TemporaryFile() {
        if (file_.fd >= 0) close();  // before the removal: Windows keeps an open file
        std::error_code ignored;
        if (!kept_) fs::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return file_.fd; }
    int error() const { return error_ ? error_ : EIO; }
    const fs::path& path() const { return path_; }
    int close() {
        int result = ::_close(file_.fd);
        file_.fd = -1;
        return result == 0 ? 0 : errno;
    }
    void keep() { kept_ = true; }

private:
    fs::path path_;
    FdCloser file_{-1};
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

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (*this) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::optional<std::string> lastError() {
    const DWORD code = GetLastError();
    std::string text = systemMessage(code);
    return text.empty() ? "error " + std::to_string(code) : text;
}

std::optional<std::string> writeToHandle(HANDLE handle, const std::string& content) {
    if (isConsole(handle)) return writeToConsole(handle, content) ? std::nullopt : lastError();
    for (std::size_t done = 0; done < content.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
        if (!WriteFile(handle, content.data() + done, chunk, &written, nullptr)) return lastError();
        done += written;
    }
    return std::nullopt;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A name in the device namespace, \\.\NAME: a pipe, or a device by its own name. What there is
// no such thing of cannot be created by writing a file.
bool isDevicePath(const std::string& path) {
    return path.size() > 4 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] == '.' && isSeparator(path[3]);
}

bool isPipePath(const std::string& path) {
    if (!isDevicePath(path) || path.size() < 9 || !isSeparator(path[8])) return false;
    std::string kind = path.substr(4, 4);
    for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return kind == "pipe";
}

// A name that is no file on a disk is written directly; the outcome then, else nothing (a file
// on a disk, or a name not there yet, is replaced).
std::optional<std::optional<std::string>> writeIfDevice(const fs::path& target, const std::string& path,
                                                        const std::string& content) {
    FileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (!isDevicePath(path)) return std::nullopt;
        if (GetLastError() == ERROR_FILE_NOT_FOUND && isPipePath(path))
            return std::optional<std::string>("no program reads the pipe");
        return lastError();
    }
    if (GetFileType(file.get()) == FILE_TYPE_DISK) return std::nullopt;
    return writeToHandle(file.get(), content);
}

}  // namespace

void ignoreFileSizeSignal() {}  // Windows has no such signal

std::optional<std::string> writeFileSafely(const std::string& path, const std::string& content) {
    if (path.empty()) return std::string(std::strerror(ENOENT));
    const fs::path target = fs::u8path(path);
    if (std::optional<std::optional<std::string>> written = writeIfDevice(target, path, content)) return *written;
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
