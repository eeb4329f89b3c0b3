#include "providers/linux/parsers/rpm_header.h"

#include <cstring>

#include "providers/linux/parsers/bytes.h"
#include "query/installed_software.h"

namespace moravel::lx {
namespace {

// The tags and types the list reads (rpmtag.h).
enum Tag : std::uint32_t {
    kName = 1000,
    kVersion = 1001,
    kRelease = 1002,
    kEpoch = 1003,
    kInstallTime = 1008,
    kSize = 1009,
    kVendor = 1011,
    kGroup = 1016,
    kArch = 1022,
    kLongSize = 5009,
};
enum Type : std::uint32_t { kInt32 = 4, kInt64 = 5, kString = 6, kI18nString = 9 };

constexpr std::size_t kEntryBytes = 16;
constexpr std::uint64_t kMaxEntries = 0xFFFF;  // rpm refuses headers with more

// The entries the list reads, found in one pass over the index however long it is.
class Header {
public:
    explicit Header(const std::string& blob) : blob_(blob) {
        if (blob.size() < 8) return;
        const std::uint64_t entries = bigEndian(blob, 0, 4);
        data_ = 8 + entries * kEntryBytes;
        dataEnd_ = data_ + bigEndian(blob, 4, 4);
        valid_ = entries <= kMaxEntries && dataEnd_ <= blob.size();
        for (std::uint64_t i = 0; valid_ && i < entries; ++i) index(static_cast<std::size_t>(8 + i * kEntryBytes));
    }

    bool valid() const { return valid_; }

    // The first string of a STRING or I18NSTRING entry (the first of its locales).
    std::string text(Tag tag) const {
        const Entry* entry = find(tag);
        if (!entry || (entry->type != kString && entry->type != kI18nString) || entry->at >= dataEnd_) return {};
        const char* begin = blob_.data() + entry->at;
        const void* nul = std::memchr(begin, '\0', static_cast<std::size_t>(dataEnd_ - entry->at));
        if (!nul) return {};
        return clippedSoftwareText(std::string(begin, static_cast<const char*>(nul)));
    }

    std::optional<std::uint64_t> number(Tag tag) const {
        const Entry* entry = find(tag);
        const std::uint64_t bytes = entry && entry->type == kInt32 ? 4 : entry && entry->type == kInt64 ? 8 : 0;
        if (bytes == 0 || entry->at + bytes > dataEnd_) return std::nullopt;
        return bigEndian(blob_, static_cast<std::size_t>(entry->at), static_cast<std::size_t>(bytes));
    }

private:
    struct Entry {
        Tag tag;
        std::uint64_t type = 0, at = 0;
        bool seen = false;
    };

    void index(std::size_t entry) {
        const std::uint64_t tag = bigEndian(blob_, entry, 4);
        for (Entry& wanted : entries_) {
            if (wanted.tag != tag || wanted.seen || bigEndian(blob_, entry + 12, 4) == 0) continue;
            wanted = {wanted.tag, bigEndian(blob_, entry + 4, 4), data_ + bigEndian(blob_, entry + 8, 4), true};
        }
    }

    const Entry* find(Tag tag) const {
        for (const Entry& entry : entries_)
            if (entry.tag == tag && entry.seen) return &entry;
        return nullptr;
    }

    const std::string& blob_;
    std::uint64_t data_ = 0, dataEnd_ = 0;
    bool valid_ = false;
    Entry entries_[10] = {{kName},    {kVersion}, {kRelease}, {kEpoch}, {kInstallTime},
                          {kSize},    {kVendor},  {kGroup},   {kArch},  {kLongSize}};
};

}  // namespace

std::optional<RpmPackage> parseRpmHeader(const std::string& blob) {
    Header header(blob);
    if (!header.valid()) return std::nullopt;
    RpmPackage package;
    package.name = header.text(kName);
    if (package.name.empty()) return std::nullopt;
    std::string version = header.text(kVersion), release = header.text(kRelease);
    std::optional<std::uint64_t> epoch = header.number(kEpoch);
    package.version = clippedSoftwareText((epoch ? std::to_string(*epoch) + ":" : "") + version +
                                          (release.empty() ? "" : "-" + release));
    package.architecture = header.text(kArch);
    package.vendor = header.text(kVendor);
    package.group = header.text(kGroup);
    package.installTime = header.number(kInstallTime);
    package.sizeBytes = header.number(kLongSize);
    if (!package.sizeBytes) package.sizeBytes = header.number(kSize);
    return package;
}

}  // namespace moravel::lx
