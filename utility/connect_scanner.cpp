#include "utility/connect_scanner.h"

#include <algorithm>
#include <cstring>

#include "device/device_library.h"
#include "scanner/debug_settings.h"
#include "scanner/find_scanners.h"
#include "scanner/identify.h"
#include "scanner/last_scanner.h"
#include "utility/indicator_handoff.h"

namespace utility {
namespace {

ScannerChooser& Chooser() {
  static ScannerChooser chooser;
  return chooser;
}

constexpr size_t kDummyProductBytes = 17;

void SetInterface(device::DeviceRecord& record, int dummy_interface) {
  switch (dummy_interface) {
    case 1:
      record.kind = device::kKindStiOther;
      record.UsbSpeed = 1;
      break;
    case 2:
      record.kind = device::kKindStiScsi;
      break;
    case 3:
      record.kind = device::kKindAspi;
      record.hostID = 1;
      record.TargetID = 2;
      break;
    default:
      record.kind = device::kKindStiOther;
  }
}

}  // namespace

void SetScannerChooser(ScannerChooser chooser) { Chooser() = std::move(chooser); }

int ChooseScanner(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current, bool must_choose) {
  return Chooser() ? Chooser()(list, current, must_choose) : -1;
}

std::optional<device::DeviceRecord> SimulatedScannerRecord() {
  const std::string model = scanner::DebugString("DummyModel");
  if (model.empty()) return std::nullopt;
  device::DeviceRecord record{};
  std::memcpy(record.Inquiry + 16, model.data(), std::min(model.size(), kDummyProductBytes));
  SetInterface(record, scanner::DebugInt("DummyInterface", 0));
  device::SetSimulatedScanner(true);
  return record;
}

int ConnectToRecord(scanner::ScannerContext& context, const device::DeviceRecord& record) {
  if (device::SelectDevice(record) != 0) return 0;
  device::StartEventForwarding();
  return scanner::IdentifyScanner(context, record, true);
}

int ConnectScanner(scanner::ScannerContext& context) {
  context.connected = false;
  std::vector<device::DeviceRecord> found;
  if (scanner::FindScanners(found) != 0) return 0;
  device::SetSimulatedScanner(false);
  if (found.empty()) {
    const auto simulated = SimulatedScannerRecord();
    return simulated ? scanner::IdentifyScanner(context, *simulated, false) : 0;
  }
  if (found.size() == 1) return ConnectToRecord(context, found.front());
  device::DeviceRecord last;
  if (scanner::LoadLastScanner(last)) {
    auto match = std::find(found.begin(), found.end(), last);
    if (match != found.end()) return ConnectToRecord(context, *match);
  }
  const int chosen = ChooseScanner(found, nullptr, true);
  if (chosen < 0 || chosen >= static_cast<int>(found.size())) return 0;
  NotifyScannerChosen();
  return ConnectToRecord(context, found[chosen]);
}

}  // namespace utility
