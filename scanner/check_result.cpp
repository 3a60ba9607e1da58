#include "scanner/check_result.h"

#include <atomic>
#include <string>

#include "device/device_library.h"
#include "platform/message_box.h"
#include "resources/app_resources.h"
#include "scanner/sense_message.h"
#include "scanner/sense_tables.h"

namespace scanner {

namespace {

constexpr int kIdsNoPaper = 5075;
constexpr int kIdsSetPaper = 5010;
constexpr int kIdsCommunicationError = 5076;
constexpr int kIdsRequestFailed = 5097;
constexpr int kIdsScannerInUse = 5117;

constexpr uint16_t kResultTransportError = 0x0104;

std::atomic<bool> g_ignore_errors{false};

bool IsNoPaper(const device::SenseRecord& sense) {
  return sense.sense_key == 3 && sense.asc == 0x3A && sense.ascq == 0;
}

// Sense key 0 counts as good; anything else is explained and shown.
bool CheckSense(int* retry) {
  const device::SenseRecord sense = device::GetLastSense();
  if (sense.sense_key == 0) return true;
  if (!IsNoPaper(sense)) {
    platform::AfxMessageBox(SenseMessage(SenseCode(sense.sense_key, sense.asc, sense.ascq)));
    return false;
  }
  const std::string text = resources::LoadString(kIdsNoPaper) + " " + resources::LoadString(kIdsSetPaper);
  if (!retry) {
    platform::AfxMessageBox(text);
    return false;
  }
  if (platform::AfxMessageBox(text, platform::MB_OKCANCEL | platform::MB_ICONQUESTION) == platform::IDOK)
    *retry = 1;
  return false;
}

std::string FailureWithoutSense(uint16_t result) {
  if (result == device::kResultBusy) return resources::LoadString(kIdsScannerInUse);
  std::string text = resources::FormatString(kIdsRequestFailed, {result});
  if (result == kResultTransportError) text = resources::LoadString(kIdsCommunicationError) + "\n\n" + text;
  return text;
}

}  // namespace

void SetIgnoreScannerErrors(bool ignore) { g_ignore_errors = ignore; }
bool IgnoreScannerErrors() { return g_ignore_errors; }

bool ResultCountsAsGood(uint16_t result) {
  if (IgnoreScannerErrors() || result == device::kResultGood) return true;
  return device::HasSense(result) && device::GetLastSense().sense_key == 0;
}

bool CheckScannerResult(uint16_t result, int* retry) {
  // A caller never finds a stale answer, even while errors are ignored.
  if (retry) *retry = 0;
  if (IgnoreScannerErrors()) return true;
  if (result == device::kResultGood) return true;
  if (device::HasSense(result)) return CheckSense(retry);
  platform::AfxMessageBox(FailureWithoutSense(result));
  return false;
}

}  // namespace scanner
