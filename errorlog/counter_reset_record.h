// The record the utility adds to the error log after a roller counter was reset.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "scanner/scanner_context.h"

namespace errorlog {

enum class ResetKind { kClean, kReplace };

// The counter record as it reads after the reset.
struct CounterValues {
  uint32_t system = 0;
  uint32_t flatbed = 0;
  uint32_t after_clean = 0;
  uint32_t after_replace = 0;
  uint32_t paper_feed = 0;
};

// String ids of the messages.
inline constexpr int kIdsCleanReset = 3278;
inline constexpr int kIdsReplaceReset = 3279;

// The record's line without its line end, for that local time. The model is the name
// the window shows (empty while the context is not connected).
std::string CounterResetLine(const std::tm& local, const scanner::ScannerContext& context,
                             const CounterValues& counts, ResetKind kind);

// Takes the local time once, finds the log folder and appends the record; failures
// leave the log as it was and are not reported.
void AppendCounterResetRecord(const scanner::ScannerContext& context, const CounterValues& counts, ResetKind kind);

}  // namespace errorlog
