// The scanner's sleep and power-off timers and the flatbed unit's sleep timer.
#pragma once
#include <cstdint>

#include "scanner/scanner_context.h"

namespace settings {

// Exchanged in the 4-byte form when the scanner has the power-off timer, else in 2
// bytes. A timer the scanner reports off keeps the default minutes, so that the
// dialog offers them when the user switches it on again.
class SleepModeSetting {
 public:
  explicit SleepModeSetting(const scanner::ScannerContext& context) : context_(context) {}

  // False after the failure has been shown; the values then stay as they were.
  bool Read();
  // False after the failure has been shown.
  bool Write() const;

  bool sleep_enabled = true;
  uint8_t sleep_minutes = 15;
  bool power_off_enabled = true;
  uint8_t power_off_minutes = 30;

 private:
  const scanner::ScannerContext& context_;
};

// On success minutes gets the unit's value; on failure (shown) it stays.
bool ReadFlatbedSleepTime(const scanner::ScannerContext& context, uint8_t& minutes);
bool WriteFlatbedSleepTime(const scanner::ScannerContext& context, uint8_t minutes);

}  // namespace settings
