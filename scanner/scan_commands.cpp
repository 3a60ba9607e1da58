#include "scanner/scan_commands.h"

#include <random>

#include "device/device_library.h"
#include "platform/clock.h"
#include "platform/message_pump.h"
#include "scanner/cdb.h"
#include "scanner/check_result.h"
#include "scanner/command_support.h"

namespace scanner {
namespace {

using namespace detail;

constexpr platform::UINT kLastPumpedMessage = 0x380;
constexpr platform::UINT kDroppedMessage = 0xA4;  // a non-client right click

// 11 to 20 ms, so polls of several programs do not fall into step.
platform::DWORD PollPause() {
  static std::minstd_rand random{std::random_device{}()};
  return 20 - static_cast<platform::DWORD>(random() % 10);
}

// Handles one pending message; false when none was pending.
bool PumpOne() {
  platform::MSG msg;
  if (!platform::PeekMessage(&msg, nullptr, 0, kLastPumpedMessage, platform::PM_REMOVE)) return false;
  if (msg.message != kDroppedMessage) {
    platform::TranslateMessage(&msg);
    platform::DispatchMessage(&msg);
  }
  return true;
}

// Starts the scan; false when it failed for good.
bool StartScan(uint8_t ha, uint8_t target, int& retry) {
  for (;;) {
    const uint16_t result = cdb::Scan(ha, target);
    if (result == 0) return true;
    device::UnlockScanner();
    if (!CheckScannerResult(result, &retry)) return false;
    SendReady(ha, target);
  }
}

}  // namespace

int SetWindow(uint8_t ha, uint8_t target, const WindowRecord* window) {
  return Judge(cdb::SetWindow(ha, target, window), false);
}

int ScanAndWaitPumping(uint8_t ha, uint8_t target, int& retry) {
  if (!StartScan(ha, target, retry)) return 0;
  retry = 0;
  for (;;) {
    if (PumpOne()) continue;
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
