#include "app/report_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace moravel {
namespace {

namespace fs = std::filesystem;

// Removes the temporary file unless it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        std::error_code ignored;
        if (!kept_) fs::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const fs::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    fs::path path_;
    bool kept_ = false;
};

// A name beside the target that no other writer, in this process or another, is likely to pick.
fs::path temporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "." + target.filename().string() + "." + std::to_string(stamp) + "-" +
                       std::to_string(counter++) + ".tmp";
    return target.parent_path() / name;
}

// The whole content, or the reason it could not be written.
std::optional<std::string> writeAll(const fs::path& path, const std::string& content) {
    errno = 0;
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file) return std::string(std::strerror(errno ? errno : EIO));
    int error = 0;
    if (std::fwrite(content.data(), 1, content.size(), file) != content.size() || std::fflush(file) != 0)
        error = errno ? errno : EIO;
    if (std::fclose(file) != 0 && !error) error = errno ? errno : EIO;
    if (!error) return std::nullopt;
    return std::string(std::strerror(error));
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::string& path, const std::string& content) {
    const fs::path target(path);
    std::error_code error;
    if (fs::is_directory(target, error)) return std::string("is a folder");
    TemporaryFile temporary(temporaryName(target));
    if (std::optional<std::string> problem = writeAll(temporary.path(), content)) return problem;
    fs::rename(temporary.path(), target, error);
    if (error) return error.message();
    temporary.keep();
    return std::nullopt;
}

}  // namespace moravel
