// Positions of names that compare ignoring ASCII case, for lists that keep one item
// per name: each lookup folds the name once instead of folding both sides of every
// comparison.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/text.h"

namespace platform {

class NameIndex {
 public:
  std::optional<size_t> Find(std::string_view name) const {
    const auto it = positions_.find(text::ToLowerAscii(name));
    return it == positions_.end() ? std::nullopt : std::optional<size_t>(it->second);
  }
  // Records the name at the position unless a name of the same folding is there
  // already (that one keeps its place); true when it was recorded.
  bool Add(std::string_view name, size_t position) { return positions_.try_emplace(text::ToLowerAscii(name), position).second; }
  void Clear() { positions_.clear(); }

 private:
  std::unordered_map<std::string, size_t> positions_;  // by lower-case name
};

}  // namespace platform
