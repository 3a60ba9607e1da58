// The program's file version: the one place it is set.
#pragma once
#include <cstdint>

namespace utility {

// The four 16-bit parts, most significant first.
struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  uint16_t revision = 0;
};

inline constexpr FileVersion kProgramVersion{1, 0, 0, 1};

}  // namespace utility
