// Why a resource script was refused.
#pragma once
#include <string>

namespace resources {

struct ScriptError {
  int line = 0;  // 1-based line of the offending text
  std::string reason;
  friend bool operator==(const ScriptError&, const ScriptError&) = default;
};

}  // namespace resources
