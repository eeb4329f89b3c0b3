// Reads the kernel's files (sys/, proc/, etc/, ...) below one root directory, so the class
// readers can run against the live machine ("/") or a small fixture tree.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/fd.h"
#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {

// No file the provider reads is larger (a /proc/cpuinfo of 256 cores is about 1 MB); a larger
// one, or a device that never ends, reads as missing.
constexpr std::size_t kMaxFileBytes = 16u << 20;

class RootFs {
public:
    explicit RootFs(std::string root);

    // The path of `rel` (which starts with "/") below the root.
    std::string path(const std::string& rel) const;
    // Whether the root is "/": the running system's own files, not a copy of them.
    bool isLive() const { return root_.empty(); }

    // The whole file; nothing when it is missing, unreadable (for example root-only), a loop of
    // links, or longer than `limit` bytes. A file that reaches the limit, or turns out to be no
    // regular file (a device, a FIFO) once it gives more than a few kilobytes, is read once: this
    // object and its copies keep its answer, so a file without end costs one read per process.
    std::optional<std::string> read(const std::string& rel, std::size_t limit = kMaxFileBytes) const;
    // The first `bytes` bytes of the file (all of a shorter one), for databases that may grow
    // beyond what is read of them; nothing when it is missing or unreadable. Never kept.
    std::optional<std::string> readStart(const std::string& rel, std::size_t bytes) const;
    // The first line without surrounding whitespace; nothing when missing or blank.
    std::optional<std::string> line(const std::string& rel) const;
    // The first line as a decimal or (with 0x) hexadecimal number.
    std::optional<std::uint64_t> number(const std::string& rel) const;
    // Entry names of a directory, sorted, without "." and ".."; empty when it is missing.
    std::vector<std::string> list(const std::string& rel) const;
    bool exists(const std::string& rel) const;
    // Whether it exists as something other than a directory (a file, a device, ...).
    bool isFile(const std::string& rel) const;
    // `rel` with every symbolic link resolved, again relative to the root; empty when it does
    // not resolve or leads out of the root.
    std::string resolved(const std::string& rel) const;

    // The same answers for files that cannot change while the process runs (the PCI device
    // list, the DMI table, the disks and their sizes, the sound cards): read on first use, then
    // kept by this object and its copies.
    std::optional<std::string> readOnce(const std::string& rel) const;
    std::optional<std::string> lineOnce(const std::string& rel) const;
    std::optional<std::uint64_t> numberOnce(const std::string& rel) const;
    std::vector<std::string> listOnce(const std::string& rel) const;
    std::string resolvedOnce(const std::string& rel) const;
    bool existsOnce(const std::string& rel) const;
    // The first line of a file watched for change (the online processors): its descriptor is
    // kept open and read from the start on each call, one system call where line() takes three.
    std::optional<std::string> lineAgain(const std::string& rel) const;
    // What `make` made of costly files when `version` (a cheap file's text, say) last changed.
    template <typename T, typename Make>
    std::shared_ptr<const T> keptWhile(const std::string& key, const std::string& version, Make make) const {
        auto& [madeFor, value] = kept_->values[key];
        if (!value || madeFor != version) value = std::make_shared<const T>(make()), madeFor = version;
        return std::static_pointer_cast<const T>(value);
    }

private:
    // The first line of what `fd` holds, read from its start.
    static std::optional<std::string> firstLine(int fd);

    struct Kept {
        std::map<std::string, std::optional<std::string>> texts;
        std::map<std::string, std::optional<std::string>> lines;
        std::map<std::pair<std::string, std::size_t>, std::optional<std::string>> unending;  // by path and limit
        std::map<std::string, std::vector<std::string>> lists;
        std::map<std::string, std::string> links;
        std::map<std::string, bool> found;
        std::map<std::string, std::shared_ptr<FdCloser>> watched;
        std::map<std::string, std::pair<std::string, std::shared_ptr<const void>>> values;  // by key: version, value
    };

    std::string root_;
    std::string realRoot_;  // the root with its own links resolved, to strip from resolved paths
    std::shared_ptr<Kept> kept_ = std::make_shared<Kept>();
};

}  // namespace moravel::lx
