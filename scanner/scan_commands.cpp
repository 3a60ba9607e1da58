#include "scanner/scan_commands.h"

#include <random>

#include "device/device_library.h"
#include "platform/clock.h"
#include "scanner/cdb.h"
#include "scanner/check_result.h"
#include "scanner/command_support.h"
#include "scanner/message_pumping.h"

namespace scanner {
namespace {

using namespace detail;

// A scanner that neither starts nor fills its buffer within this time is taken as
// gone: the wait ends with a communication failure rather than running for ever.
constexpr uint64_t kScanWaitLimitMs = 60000;

// 11 to 20 ms, so polls of several programs do not fall into step.
platform::DWORD PollPause() {
  static std::minstd_rand random{std::random_device{}()};
  return 20 - static_cast<platform::DWORD>(random() % 10);
}

bool Expired(uint64_t deadline) { return platform::GetClock().Now() >= deadline; }

// Ends a wait the scanner never finished.
int GiveUp(int& retry) {
  device::UnlockScanner();
  retry = 0;
  CheckScannerResult(device::kResultTransportError);
  return 0;
}

// Starts the scan; false when it failed for good (retry tells whether to repeat).
bool StartScan(uint8_t ha, uint8_t target, uint64_t deadline, int& retry) {
  for (;;) {
    const uint16_t result = cdb::Scan(ha, target);
    if (result == 0) return true;
    device::UnlockScanner();
    if (!CheckScannerResult(result, &retry)) return false;
    if (Expired(deadline)) {
      GiveUp(retry);
      return false;
    }
    // Not at once: a scanner that keeps answering so is given time, not a flood of commands.
    platform::Sleep(PollPause());
    SendReady(ha, target);
  }
}

}  // namespace

int SetWindow(uint8_t ha, uint8_t target, const WindowRecord* window) {
  return Judge(cdb::SetWindow(ha, target, window), false);
}

int ScanAndWaitPumping(uint8_t ha, uint8_t target, int& retry) {
  const uint64_t deadline = platform::GetClock().Now() + kScanWaitLimitMs;
  if (!StartScan(ha, target, deadline, retry)) return 0;
  retry = 0;
  for (;;) {
    if (Expired(deadline)) return GiveUp(retry);
    if (PumpOneMessage()) continue;
    cdb::DataBufferStatus status;
    const uint16_t result = cdb::GetDataBufferStatus(ha, target, status);
    if (result != 0) {
      device::UnlockScanner();
      if (!CheckScannerResult(result, &retry)) return 0;
    } else if (status.filled != 0) {
      return 1;
    }
    platform::Sleep(PollPause());
  }
}

int ReadImageInfo(uint8_t ha, uint8_t target, uint8_t qualifier, uint32_t& pixels_per_line, uint32_t& lines) {
  cdb::ImageGeometry geometry;
  if (!Judge(cdb::ReadImageGeometry(ha, target, qualifier, geometry), false)) return 0;
  pixels_per_line = geometry.first;
  lines = geometry.second;
  return 1;
}

int ReadImageData(uint8_t ha, uint8_t target, uint16_t qualifier, uint8_t* data, uint32_t length) {
  return Judge(cdb::ReadImageData(ha, target, qualifier, data, length), false);
}

int SetModeBits(uint8_t ha, uint8_t target, bool flag) {
  SendReady(ha, target);
  return Judge(cdb::VendorWriteParameter(ha, target, 0xB1, flag ? 1 : 0), false);
}

}  // namespace scanner
