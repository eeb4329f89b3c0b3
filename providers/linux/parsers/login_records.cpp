#include "providers/linux/parsers/login_records.h"

#include "providers/linux/parsers/bytes.h"

namespace moravel::lx {
namespace {

constexpr std::size_t kRecordBytes = 384;
constexpr std::size_t kUserAt = 44, kUserBytes = 32;  // ut_user
constexpr unsigned kUserProcess = 7;                  // ut_type, a short at the start

}  // namespace

std::optional<std::string> lastLoginUser(const std::string& records) {
    for (std::size_t end = records.size() - records.size() % kRecordBytes; end >= kRecordBytes; end -= kRecordBytes) {
        std::size_t at = end - kRecordBytes;
        if (littleEndian(records, at, 2) != kUserProcess) continue;
        std::string user = records.substr(at + kUserAt, kUserBytes);
        user.resize(user.find('\0') == std::string::npos ? user.size() : user.find('\0'));
        if (!user.empty()) return user;
    }
    return std::nullopt;
}

}  // namespace moravel::lx
