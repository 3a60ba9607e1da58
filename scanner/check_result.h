// Judging a request's result code: good, or a failure shown to the user.
#pragma once
#include <cstdint>

namespace scanner {

// True when the result counts as good. Every failure shows its message box. With
// `retry` given, *retry is 0 unless the failure was "no paper" and the user chose OK
// (then 1).
bool CheckScannerResult(uint16_t result, int* retry = nullptr);
// What CheckScannerResult would answer, without showing anything.
bool ResultCountsAsGood(uint16_t result);

// While set, every result counts as good and nothing is shown (quiet probing).
void SetIgnoreScannerErrors(bool ignore);
bool IgnoreScannerErrors();

// Sets IgnoreScannerErrors for its lifetime and restores the previous state.
class ScopedIgnoreScannerErrors {
 public:
  ScopedIgnoreScannerErrors() : previous_(IgnoreScannerErrors()) { SetIgnoreScannerErrors(true); }
  ~ScopedIgnoreScannerErrors() { SetIgnoreScannerErrors(previous_); }
  ScopedIgnoreScannerErrors(const ScopedIgnoreScannerErrors&) = delete;
  ScopedIgnoreScannerErrors& operator=(const ScopedIgnoreScannerErrors&) = delete;

 private:
  bool previous_;
};

}  // namespace scanner
