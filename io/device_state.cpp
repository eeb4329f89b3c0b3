#include "io/device_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "io/file_writer.h"

namespace moravel {
namespace {

constexpr std::size_t kMaxIdBytes = 1024;

std::filesystem::path idFile(const std::string& directory) {
    return std::filesystem::u8path(directory) / "device-id";
}

// A device id is one line of printable text.
bool plausible(const std::string& id) {
    return !id.empty() && id.size() <= kMaxIdBytes &&
           std::none_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

std::optional<std::string> keptDeviceId(const std::string& directory) {
    std::error_code error;
    std::filesystem::path file = idFile(directory);
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) > kMaxIdBytes + 2)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string id;
    if (!std::getline(in, id)) return std::nullopt;
    if (!id.empty() && id.back() == '\r') id.pop_back();
    return plausible(id) ? std::optional<std::string>(id) : std::nullopt;
}

std::optional<std::string> keepDeviceId(const std::string& directory, const std::string& deviceId) {
    return writeFileSafely(idFile(directory).u8string(), deviceId + "\n");
}

}  // namespace moravel
