// Page and roller counters, caution thresholds and counter clearing.
#pragma once
#include <cstdint>

namespace scanner {

struct SystemCounters {
  uint32_t system = 0;
  uint32_t flatbed = 0;  // 20-byte form only
};

struct RollerCounters {
  uint32_t after_clean = 0;
  uint32_t after_replace = 0;
  uint32_t clean_threshold = 0;
  uint32_t replace_threshold = 0;
  uint32_t paper_feed = 0;            // 24-byte form only
  uint32_t paper_feed_threshold = 0;  // 24-byte form only
};

// ClearCounter selectors.
constexpr uint8_t kClearAfterClean = 128;
constexpr uint8_t kClearAfterReplace = 64;
constexpr uint8_t kClearPaperFeed = 32;

// length 14 or 20.
int ReadSystemCounters(uint8_t ha, uint8_t target, uint32_t length, SystemCounters& counters, bool quiet);
// length 16 or 24.
int ReadRollerCounters(uint8_t ha, uint8_t target, uint32_t length, RollerCounters& counters, bool quiet);
// length 8 (clean, replace) or 12 (and paper feed).
int WriteCautionThresholds(uint8_t ha, uint8_t target, uint32_t length, uint32_t clean, uint32_t replace,
                           uint32_t paper_feed);
int ClearCounter(uint8_t ha, uint8_t target, uint8_t selector);

}  // namespace scanner
