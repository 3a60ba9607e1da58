#include "platform/hardware/sysfs.h"

#include <algorithm>
#include <charconv>
#include "platform/file_io.h"

namespace platform::hardware {
namespace {

constexpr size_t kMaxAttributeBytes = 4096;

}  // namespace

std::optional<std::string> ReadAttribute(const std::filesystem::path& path) {
  std::optional<std::string> read = files::ReadFileUpTo(path, kMaxAttributeBytes + 1);
  if (!read || read->size() > kMaxAttributeBytes) return std::nullopt;
  if (!read->empty() && read->back() == '\n') read->pop_back();
  return read;
}

std::optional<uint32_t> ReadHex(const std::filesystem::path& path, uint32_t max) {
  const std::optional<std::string> text = ReadAttribute(path);
  if (!text) return std::nullopt;
  std::string_view digits = *text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value > max)
    return std::nullopt;
  return value;
}

std::optional<long> ParseDecimal(std::string_view text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string> SortedEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> LinkName(const std::filesystem::path& link) {
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::read_symlink(link, ec);
  if (ec || target.filename().empty()) return std::nullopt;
  return target.filename().string();
}

}  // namespace platform::hardware
