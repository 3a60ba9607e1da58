// Value syntax of scenario files: numbers (decimal or 0x hex), hex byte lists,
// counts with "always", and pairs such as "0:3" or "16,0".
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace emulator {

// The whole text must be the number, and at most max.
std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t max);
// Hex digit pairs; blanks, commas, colons and an optional 0x before a pair are ignored.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);
// A count, or "always" for kAlways.
std::optional<int> ParseTimes(std::string_view text);
// Transfer lengths: numbers split by commas or blanks, or "any" (an empty list).
std::optional<std::vector<uint32_t>> ParseLengths(std::string_view text);
// Two numbers up to max split by ':' or ',' or blanks; the second may be missing when
// second_optional (it is 0 then).
std::optional<std::pair<uint64_t, uint64_t>> ParsePair(std::string_view text, uint64_t max, bool second_optional);

}  // namespace emulator
