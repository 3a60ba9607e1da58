// Service modes, readiness and the device lock's failure box.
#pragma once
#include <cstdint>

namespace scanner {

// The mode that prepares the diagnostic reads; it never locks and is never judged.
constexpr uint8_t kPrepareMode = 5;

// mode: 0-63, 0xF0 or 0xFF.
int SetServiceMode(uint8_t ha, uint8_t target, uint8_t mode, bool start, uint8_t parameter = 0, bool option = false);
// TEST UNIT READY until it answers 0, at most 4 sends; "Not Ready" unless quiet when the
// last answer carried sense data.
int WaitScannerReady(uint8_t ha, uint8_t target, bool quiet);
// lock_result from LockScanner: 0 answers 1; otherwise a box, with Retry when asked.
int ReportLockFailure(int lock_result, bool retry);

}  // namespace scanner
