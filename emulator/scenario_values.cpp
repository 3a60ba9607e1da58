#include "emulator/scenario_values.h"

#include <algorithm>
#include <cctype>

#include "emulator/faults.h"
#include "platform/text.h"

namespace emulator {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ':'; }

}  // namespace

std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t max) {
  text = platform::text::Trim(text);
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return std::nullopt;
    if (static_cast<uint64_t>(digit) > max || value > (max - static_cast<uint64_t>(digit)) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
  }
  return value;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < text.size()) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
    if (i + 1 >= text.size()) return std::nullopt;
    const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(high << 4 | low));
    i += 2;
  }
  return out;
}

std::optional<int> ParseTimes(std::string_view text) {
  if (platform::text::EqualsIgnoreCase(platform::text::Trim(text), "always")) return kAlways;
  const std::optional<uint64_t> n = ParseNumber(text, 1'000'000'000);
  if (!n) return std::nullopt;
  return static_cast<int>(*n);
}

std::optional<std::vector<uint32_t>> ParseLengths(std::string_view text) {
  text = platform::text::Trim(text);
  if (platform::text::EqualsIgnoreCase(text, "any")) return std::vector<uint32_t>{};
  std::vector<uint32_t> lengths;
  while (!text.empty()) {
    const size_t end = std::min(text.find_first_of(", \t"), text.size());
    const std::optional<uint64_t> n = ParseNumber(text.substr(0, end), 0xFFFFFF);
    if (!n) return std::nullopt;
    lengths.push_back(static_cast<uint32_t>(*n));
    text.remove_prefix(end);
    while (!text.empty() && IsSeparator(text.front())) text.remove_prefix(1);
  }
  if (lengths.empty()) return std::nullopt;
  return lengths;
}

std::optional<std::pair<uint64_t, uint64_t>> ParsePair(std::string_view text, uint64_t max, bool second_optional) {
  text = platform::text::Trim(text);
  const size_t split = text.find_first_of(":, \t");
  const std::optional<uint64_t> first = ParseNumber(text.substr(0, split), max);
  if (!first) return std::nullopt;
  if (split == std::string_view::npos) {
    if (!second_optional) return std::nullopt;
    return std::pair<uint64_t, uint64_t>{*first, 0};
  }
  std::string_view rest = text.substr(split + 1);
  while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);
  const std::optional<uint64_t> second = ParseNumber(rest, max);
  if (!second) return std::nullopt;
  return std::pair<uint64_t, uint64_t>{*first, *second};
}

}  // namespace emulator
