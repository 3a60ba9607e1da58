// Reading the small attribute files of /proc and /sys.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::hardware {

// The file's text without its final line end; nullopt when missing, unreadable or large.
std::optional<std::string> ReadAttribute(const std::filesystem::path& path);
// A hexadecimal attribute ("0x1f3a" or "1f3a") no larger than max.
std::optional<uint32_t> ReadHex(const std::filesystem::path& path, uint32_t max);
// A decimal number, the whole text.
std::optional<long> ParseDecimal(std::string_view text);
// The names in a folder, sorted; none when it cannot be read.
std::vector<std::string> SortedEntries(const std::filesystem::path& folder);
// The last name of a symbolic link's target; nullopt when it is no link.
std::optional<std::string> LinkName(const std::filesystem::path& link);

}  // namespace platform::hardware
