#include "utility/select_scanner_command.h"

#include <optional>
#include <vector>

#include "device/device_library.h"
#include "platform/message_box.h"
#include "platform/ui/wait_cursor.h"
#include "resources/app_resources.h"
#include "scanner/find_scanners.h"
#include "scanner/identify.h"
#include "utility/connect_scanner.h"
#include "utility/indicator_handoff.h"
#include "utility/select_scanner_dlg.h"

namespace utility {
namespace {

constexpr int kIdsNoTargetDevice = 5077;

struct Candidates {
  std::vector<device::DeviceRecord> list;
  bool simulated = false;
};

// The attached scanners, else the simulated one. The search runs with simulated mode
// off, since its probes would otherwise answer without asking any scanner.
std::optional<Candidates> Search() {
  platform::ui::CWaitCursor wait;
  device::SetSimulatedScanner(false);
  Candidates found;
  if (scanner::FindScanners(found.list) != 0) return std::nullopt;
  if (!found.list.empty()) return found;
  const auto simulated = SimulatedScannerRecord();
  if (!simulated) return std::nullopt;
  found.list.push_back(*simulated);
  found.simulated = true;
  return found;
}

// The simulated scanner is identified without any device; it is not the user's last scanner.
bool OpenPicked(scanner::ScannerContext& context, const device::DeviceRecord& record, bool simulated) {
  platform::ui::CWaitCursor wait;
  device::SetSimulatedScanner(simulated);
  if (simulated) {
    scanner::IdentifyScanner(context, record, false);
    return true;
  }
  if (device::SelectDevice(record) != 0) return false;
  device::StartEventForwarding();
  if (scanner::IdentifyScanner(context, record, true) == 1) NotifyScannerChosen();
  return true;
}

void ReselectContextDevice(const scanner::ScannerContext& context) {
  if (device::SelectDevice(context.record) == 0) device::StartEventForwarding();
}

}  // namespace

bool SelectScannerCommand(scanner::ScannerContext& context) {
  const std::string failure = resources::LoadString(kIdsNoTargetDevice);
  const bool was_simulated = device::SimulatedScanner();
  const std::optional<Candidates> candidates = Search();
  if (!candidates) {
    device::SetSimulatedScanner(was_simulated);
    platform::AfxMessageBox(failure);
    return false;
  }
  const int chosen = ShowSelectScanner(candidates->list, &context.record, false);
  bool refresh = false;
  if (chosen >= 0 && chosen < static_cast<int>(candidates->list.size())) {
    refresh = OpenPicked(context, candidates->list[chosen], candidates->simulated);
    if (!refresh) platform::AfxMessageBox(failure);
  }
  if (!refresh) device::SetSimulatedScanner(was_simulated);
  ReselectContextDevice(context);
  return refresh;
}

}  // namespace utility
