#include "providers/linux/system/root_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "io/fd.h"

namespace moravel::lx {
namespace {
constexpr ssize_t kPage = 4096;

// The kernel's own name for the file behind an open descriptor: three system calls, where the
// C library's realpath asks about every component of the path in turn (about eight in sysfs).
std::string realPath(const std::string& path) {
    FdCloser file{::open(path.c_str(), O_PATH | O_CLOEXEC)};
    if (file.fd < 0) return {};
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", file.fd);
    char target[PATH_MAX];
    ssize_t n = ::readlink(link, target, sizeof target);
    if (n > 0 && n < static_cast<ssize_t>(sizeof target) && target[0] == '/')
        return std::string(target, static_cast<std::size_t>(n));
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);  // no /proc
    return real ? std::string(real.get()) : std::string();
}
}  // namespace

RootFs::RootFs(std::string root) : root_(std::move(root)) {
    while (!root_.empty() && root_.back() == '/') root_.pop_back();
    realRoot_ = root_.empty() ? std::string() : realPath(root_);
    if (realRoot_ == "/") realRoot_.clear();
}

std::string RootFs::path(const std::string& rel) const { return root_ + rel; }

std::optional<std::string> RootFs::read(const std::string& rel, std::size_t limit) const {
    const auto key = std::make_pair(rel, limit);
    if (auto kept = kept_->unending.find(key); kept != kept_->unending.end()) return kept->second;
    FdCloser file{::open(path(rel).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) return std::nullopt;
    std::string text;
    char buffer[8192];
    std::optional<bool> regular;  // asked only of a file longer than one buffer: small files cost no more
    for (;;) {
        ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;  // a directory, or a sysfs attribute that refuses
        if (n == 0) break;
        if (!regular && text.size() >= sizeof buffer) {
            struct stat info;
            regular = ::fstat(file.fd, &info) == 0 && S_ISREG(info.st_mode);
        }
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > limit) return kept_->unending[key] = std::nullopt;
        // Less than a page is the end: files, seq files and sysfs give all they have up to the
        // count asked (binary attributes a page at a time), so the read that would only report
        // the end is saved.
        if (n < kPage) break;
    }
    if (regular == false) kept_->unending[key] = text;
    return text;
}

std::optional<std::string> RootFs::readStart(const std::string& rel, std::size_t bytes) const {
    FdCloser file{::open(path(rel).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat info;
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::string text(std::min(bytes, static_cast<std::size_t>(info.st_size)), '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {  // a file that shrinks meanwhile is read as it now is
        ssize_t n = ::read(file.fd, &text[filled], text.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    text.resize(filled);
    return text;
}

std::optional<std::string> RootFs::line(const std::string& rel) const {
    // One read is enough for a first line: sysfs hands out a whole attribute at once, and
    // this saves the system call that would only report the end of the file.
    FdCloser file{::open(path(rel).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) return std::nullopt;
    return firstLine(file.fd);
}

std::optional<std::string> RootFs::firstLine(int fd) {
    char buffer[4096];
    ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return std::nullopt;
    std::string text(buffer, static_cast<std::size_t>(n));
    std::string first = trim(text.substr(0, text.find('\n')));
    if (first.empty()) return std::nullopt;
    return first;
}

std::optional<std::uint64_t> RootFs::number(const std::string& rel) const {
    std::optional<std::string> text = line(rel);
    return text ? parseNumber(*text) : std::nullopt;
}

// The entries straight from getdents64: opendir would also stat the directory to size a buffer.
std::vector<std::string> RootFs::list(const std::string& rel) const {
    std::vector<std::string> names;
    FdCloser dir{::open(path(rel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK)};
    if (dir.fd < 0) return names;
    alignas(dirent64) char buffer[32768];
    for (ssize_t n; (n = ::getdents64(dir.fd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool RootFs::exists(const std::string& rel) const {
    struct stat info;
    return ::stat(path(rel).c_str(), &info) == 0;
}

bool RootFs::isFile(const std::string& rel) const {
    struct stat info;
    return ::stat(path(rel).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string RootFs::resolved(const std::string& rel) const {
    std::string real = realPath(path(rel));
    if (real.empty() || real.compare(0, realRoot_.size(), realRoot_) != 0) return {};
    real.erase(0, realRoot_.size());
    return real.empty() ? "/" : real;
}

namespace {
// The kept answer for `key`, computed by `compute` on first use.
template <typename Map, typename Compute>
const typename Map::mapped_type& keptOr(Map& map, const std::string& key, Compute compute) {
    auto found = map.find(key);
    if (found == map.end()) found = map.emplace(key, compute()).first;
    return found->second;
}
}  // namespace

std::optional<std::string> RootFs::readOnce(const std::string& rel) const {
    return keptOr(kept_->texts, rel, [&] { return read(rel); });
}

std::optional<std::string> RootFs::lineOnce(const std::string& rel) const {
    return keptOr(kept_->lines, rel, [&] { return line(rel); });
}

std::optional<std::uint64_t> RootFs::numberOnce(const std::string& rel) const {
    std::optional<std::string> text = lineOnce(rel);
    return text ? parseNumber(*text) : std::nullopt;
}

std::vector<std::string> RootFs::listOnce(const std::string& rel) const {
    return keptOr(kept_->lists, rel, [&] { return list(rel); });
}

std::string RootFs::resolvedOnce(const std::string& rel) const {
    return keptOr(kept_->links, rel, [&] { return resolved(rel); });
}

bool RootFs::existsOnce(const std::string& rel) const {
    return keptOr(kept_->found, rel, [&] { return exists(rel); });
}

std::optional<std::string> RootFs::lineAgain(const std::string& rel) const {
    std::shared_ptr<FdCloser>& file = kept_->watched[rel];
    if (!file || file->fd < 0)
        file = std::make_shared<FdCloser>(::open(path(rel).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return file->fd < 0 ? std::nullopt : firstLine(file->fd);
}

}  // namespace moravel::lx
