#include "scanner/service_mode.h"

#include "device/device_library.h"
#include "device/request_block.h"
#include "platform/message_box.h"
#include "resources/app_resources.h"
#include "scanner/cdb.h"
#include "scanner/check_result.h"
#include "scanner/command_support.h"

namespace scanner {
using namespace cdb;
namespace {

constexpr int kIdsNoTargetDevice = 5077;
constexpr int kIdsScannerInUse = 5117;
constexpr int kLockTries = 5;
constexpr platform::DWORD kLockInterval = 1000;

bool KeepsLockAlone(uint8_t mode) { return mode == 2 || mode == 4 || mode == 5; }

bool NeverJudged(uint8_t mode, bool start) {
  switch (mode) {
    case 5: case 9: case 12: case 13: case 0xF0: case 0xFF: return true;
    case 6: case 11: return !start;
    default: return false;
  }
}

uint8_t ModeByte(uint8_t mode, bool start, bool option) {
  return static_cast<uint8_t>(((option ? 1 : 0) << 6 & 0x40) | (mode & 0x3F) | (start ? 0x80 : 0));
}

}  // namespace

int SetServiceMode(uint8_t ha, uint8_t target, uint8_t mode, bool start, uint8_t parameter, bool option) {
  if (!KeepsLockAlone(mode) && start) {
    const int locked = device::LockScanner(kLockTries, kLockInterval);
    if (locked != 0) return ReportLockFailure(locked, false);
  }
  TestUnitReady(ha, target);
  const uint8_t data[2] = {ModeByte(mode, start, option), parameter};
  const uint16_t result = VendorWrite(ha, target, 0x45, data, sizeof(data));
  if (!NeverJudged(mode, start) && !ResultCountsAsGood(result)) {
    // The lock goes before the box, so the scanner is free while the user reads it.
    if (!KeepsLockAlone(mode)) device::UnlockScanner();
    CheckScannerResult(result);
    return 0;
  }
  if (KeepsLockAlone(mode)) return 1;
  if (!start) device::UnlockScanner();
  return 1;
}

int WaitScannerReady(uint8_t ha, uint8_t target, bool quiet) {
  constexpr int kSends = 4;
  uint16_t result = 0;
  for (int i = 0; i < kSends; ++i) {
    result = TestUnitReady(ha, target);
    if (result == 0) return 1;
  }
  if (device::HasSense(result) && !quiet) platform::AfxMessageBox("Not Ready");
  return 0;
}

int ReportLockFailure(int lock_result, bool retry) {
  if (lock_result == 0) return 1;
  const std::string text = resources::LoadString(lock_result == 4 ? kIdsNoTargetDevice : kIdsScannerInUse);
  if (!retry) {
    platform::AfxMessageBox(text, platform::MB_OK);
    return 0;
  }
  while (platform::AfxMessageBox(text, platform::MB_RETRYCANCEL) == platform::IDRETRY) {
    if (device::LockScanner(1, kLockInterval) == 0) return 1;
  }
  return 0;
}

}  // namespace scanner
