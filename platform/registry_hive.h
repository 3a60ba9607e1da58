// A registry hive in memory and its text file form.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/name_index.h"
#include "platform/registry.h"

namespace platform::hive {

// Windows' limits, which also bound what a damaged file can make us build.
constexpr size_t kMaxKeyNameChars = 255;
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxValueNameChars = 16383;

// Names of subkeys and of values compare ignoring case; each name is there once,
// kept as first spelled.
class Key {
 public:
  Key() = default;
  explicit Key(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  const std::vector<std::pair<std::string, RegValue>>& values() const { return values_; }  // in creation order
  const std::vector<Key>& subkeys() const { return subkeys_; }                             // in creation order

  Key* Child(std::string_view child_name);
  const Key* Child(std::string_view child_name) const;
  // The subkey of that name, added at the end when there is none.
  Key& ChildOrNew(std::string_view child_name);
  const RegValue* Value(std::string_view value_name) const;
  // Replaces a value of the same name in its place, or adds it at the end.
  void SetValue(std::string_view value_name, const RegValue& value);
  // Adds the value at the end unless one of that name is there; true when added.
  bool AddValue(std::string_view value_name, RegValue value);
  bool DeleteValue(std::string_view value_name);
  bool DeleteChild(std::string_view child_name);

 private:
  void IndexValues();
  void IndexSubkeys();

  std::string name_;
  std::vector<std::pair<std::string, RegValue>> values_;
  NameIndex value_index_;
  std::vector<Key> subkeys_;
  NameIndex subkey_index_;
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
