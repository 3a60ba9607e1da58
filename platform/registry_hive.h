// A registry hive in memory and its text file form.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace platform::hive {

// Windows' limits, which also bound what a damaged file can make us build.
constexpr size_t kMaxKeyNameChars = 255;
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxValueNameChars = 16383;

struct Key {
  std::string name;
  std::vector<std::pair<std::string, RegValue>> values;  // in creation order
  std::vector<Key> subkeys;                              // in creation order

  Key* Child(std::string_view child_name);
  const Key* Child(std::string_view child_name) const;
  const RegValue* Value(std::string_view value_name) const;
  // Replaces a value of the same name in its place, or adds it at the end.
  void SetValue(std::string_view value_name, const RegValue& value);
  bool DeleteValue(std::string_view value_name);
  bool DeleteChild(std::string_view child_name);
};

// The names of a key path ("A\B\C"; empty parts are skipped); nullopt when a name is
// too long or the path too deep.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);
bool ValidValueName(std::string_view name);

const Key* Find(const Key& root, const std::vector<std::string>& names);
Key* Find(Key& root, const std::vector<std::string>& names);
// Finds the key, creating it and its parents.
Key& FindOrCreate(Key& root, const std::vector<std::string>& names);

Key Parse(std::string_view text);
std::string Write(const Key& root);

}  // namespace platform::hive
