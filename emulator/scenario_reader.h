// Reading one section of a scenario file: typed values, with every value that
// cannot be used reported and left out.
#pragma once
#include <algorithm>
#include <initializer_list>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "emulator/faults.h"
#include "emulator/scenario_values.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "platform/win_types.h"

namespace emulator {

inline bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && platform::text::EqualsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

// Reads the keys of one section, reporting values it cannot use.
class ScenarioReader {
 public:
  // The section is looked up once; every key after that through its index.
  ScenarioReader(const platform::ProfileFile& file, std::string section, std::vector<std::string>& warnings)
      : keys_(file.Find(section)), section_(std::move(section)), warnings_(warnings) {}

  std::optional<std::string> Text(std::string_view key) const { return keys_ ? keys_->Get(key) : std::nullopt; }
  // The section's keys in file order, each once.
  std::vector<std::string> Keys() const { return keys_ ? keys_->Keys() : std::vector<std::string>{}; }

  template <class T>
  std::optional<T> Number(std::string_view key, uint64_t max = std::numeric_limits<T>::max()) const {
    return Get<T>(key, "a number", [max](std::string_view v) -> std::optional<T> {
      const auto n = ParseNumber(v, max);
      return n ? std::optional<T>(static_cast<T>(*n)) : std::nullopt;
    });
  }
  std::optional<platform::HRESULT> Result(std::string_view key) const {
    return Get<platform::HRESULT>(key, "a failure code 0x80000000 or above",
                                  [](std::string_view v) -> std::optional<platform::HRESULT> {
                                    const auto n = ParseNumber(v, 0xFFFFFFFF);
                                    if (!n || *n < 0x80000000) return std::nullopt;
                                    return static_cast<platform::HRESULT>(static_cast<uint32_t>(*n));
                                  });
  }
  std::optional<int> Times(std::string_view key) const { return Get<int>(key, "a count or \"always\"", ParseTimes); }
  std::optional<std::vector<uint8_t>> Bytes(std::string_view key) const {
    return Get<std::vector<uint8_t>>(key, "hex bytes", ParseHexBytes);
  }
  std::optional<std::pair<uint64_t, uint64_t>> Pair(std::string_view key, uint64_t max, bool second_optional) const {
    return Get<std::pair<uint64_t, uint64_t>>(key, "two numbers",
                                              [&](std::string_view v) { return ParsePair(v, max, second_optional); });
  }
  // A word from a table of names.
  template <class T>
  std::optional<T> Choice(std::string_view key, const std::map<std::string, T>& names, const char* expected) const {
    return Get<T>(key, expected, [&](std::string_view v) -> std::optional<T> {
      auto it = names.find(platform::text::ToLowerAscii(platform::text::Trim(v)));
      return it == names.end() ? std::nullopt : std::optional<T>(it->second);
    });
  }

  // A value parsed by parse; reported and nullopt when it does not parse.
  template <class T, class Parse>
  std::optional<T> Get(std::string_view key, const char* expected, Parse parse) const {
    const std::optional<std::string> value = Text(key);
    if (!value) return std::nullopt;
    std::optional<T> parsed = parse(*value);
    if (!parsed) Warn(std::string(key) + "=" + *value + ": expected " + expected + ", default kept");
    return parsed;
  }

  void Warn(const std::string& message) const { warnings_.push_back("[" + section_ + "] " + message); }

  // Reports keys that are neither known nor begin with an allowed prefix.
  void WarnUnknownKeys(const std::set<std::string>& known, std::initializer_list<std::string_view> allowed_prefixes = {}) const {
    for (const std::string& key : Keys()) {
      if (known.count(platform::text::ToLowerAscii(key))) continue;
      if (std::any_of(allowed_prefixes.begin(), allowed_prefixes.end(),
                      [&](std::string_view prefix) { return StartsWithIgnoreCase(key, prefix); }))
        continue;
      Warn("unknown key " + key + " ignored");
    }
  }

  const std::string& section() const { return section_; }

 private:
  const platform::ProfileSection* keys_;  // null when the file has no such section
  std::string section_;
  std::vector<std::string>& warnings_;
};

}  // namespace emulator
