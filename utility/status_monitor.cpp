#include "utility/status_monitor.h"

#include "device/device_library.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "platform/handles.h"
#include "platform/named.h"
#include "platform/system.h"
#include "resources/app_resources.h"
#include "scanner/check_result.h"
#include "scanner/model_codes.h"
#include "utility/indicator_handoff.h"
#include "scanner/status_tables.h"
#include "scanner/text_forms.h"

namespace utility {

const char* const kDeviceLockMutex = "QMXUtilityDeviceLockMutex";

namespace {

using scanner::ModelSet;

constexpr int kIdsBlank = 5114;
constexpr int kIdsBecomingReady = 5015;
constexpr int kIdsNotConnected = 5078;
constexpr int kIdsInUse = 5117;
constexpr int kIdsCautionHeader = 5116;
constexpr platform::DWORD kPollLockTimeout = 500;
constexpr platform::DWORD kLockTimeout = 30000;
constexpr uint8_t kStateBecomingReady = 3;
constexpr uint8_t kByteCaution = 100;
constexpr uint8_t kByteAttention = 0xFF;

constexpr ModelSet kPaperFeedModels = scanner::kPaperFeedRollerModels;
constexpr ModelSet kPlateTextModels = ModelSet{12, 13, 22, 23, 32} | ModelSet::Range(25, 29);
constexpr ModelSet kPollsCounters = {37, 38, 39};

std::string L(int id) { return resources::LoadString(id); }

bool IsUsb(const scanner::ScannerContext& c) {
  return c.interface_kind == scanner::kInterfaceStiUsbHigh || c.interface_kind == scanner::kInterfaceStiUsbFull;
}

// Restores the lock timeout and the error judging however the refresh ends.
class PollingScope {
 public:
  PollingScope() { device::SetLockTimeout(kPollLockTimeout); }
  ~PollingScope() { device::SetLockTimeout(kLockTimeout); }

 private:
  scanner::ScopedIgnoreScannerErrors ignore_;
};

}  // namespace

StatusMonitor::StatusMonitor(scanner::ScannerContext& context, settings::CCounterRecord& counters, StatusDisplay& display,
                             StatusView& view, Connector connect)
    : context_(context), counters_(counters), display_(display), view_(view), connect_(std::move(connect)) {}

void StatusMonitor::SetStatus(int string_id, bool replace) {
  if (replace) display_.status = L(string_id);
  else AppendStatus(L(string_id));
}

void StatusMonitor::AppendStatus(const std::string& text) { display_.status += "\r\n" + text; }

bool StatusMonitor::FlatbedRowApplies() const { return scanner::FlatbedRowApplies(context_); }

void StatusMonitor::EndNotConnected() {
  view_.LayoutErrorCode(false);
  view_.InformationRefresh();
  view_.DisableParts();
}

void StatusMonitor::EndInUse(bool refresh_information) {
  display_.error = false;
  SetStatus(kIdsInUse, true);
  view_.LayoutErrorCode(false);
  view_.UpdateStatusControls();
  if (refresh_information) view_.InformationRefresh();
  in_use = true;
  view_.DisableParts();
}

int StatusMonitor::Cautions(const scanner::CautionReport* report) const {
  int flags = scanner::kInterfaceBoardFamily.Has(context_.model_code) ? 0 : counters_.CautionFlags();
  if (!report) return flags;
  if (report->clean_roller == kByteCaution) flags |= settings::kCautionClean;
  if (report->replace_roller == kByteCaution && !kPaperFeedModels.Has(context_.model_code)) flags |= settings::kCautionReplace;
  for (uint8_t b : {report->front_lamp, report->back_lamp, report->front_plate, report->back_plate})
    if (b == kByteAttention) flags |= settings::kCautionLampOrPlate;
  return flags;
}

// A header and two lines; the first header replaces a status without an error text.
void StatusMonitor::Caution(int first, int second, bool& have_text) {
  SetStatus(kIdsCautionHeader, !have_text);
  have_text = true;
  SetStatus(first, false);
  if (second) SetStatus(second, false);
}

void StatusMonitor::WriteCautionLines(int flags, bool& have_text) {
  const bool double_feed_roller = kPaperFeedModels.Has(context_.model_code) && context_.paper_feed_roller;
  if (flags & settings::kCautionReplace) Caution(double_feed_roller ? 5133 : 5131, double_feed_roller ? 5134 : 5132, have_text);
  if (flags & settings::kCautionPaperFeed) Caution(5135, 5136, have_text);
  if ((flags & settings::kCautionClean) && !(flags & (settings::kCautionReplace | settings::kCautionPaperFeed))) Caution(5019, 5003, have_text);
}

void StatusMonitor::WriteLampAndPlateLines(const scanner::CautionReport& r, bool& have_text) {
  const uint8_t code = context_.model_code;
  if (r.front_lamp == kByteAttention) Caution(5036, 5006, have_text);
  if (r.back_lamp == kByteAttention) Caution(5016, 5000, have_text);
  if (r.front_plate == kByteAttention) {
    if (kPlateTextModels.Has(code)) Caution(5037, 5007, have_text);
    else if (scanner::kCompactFamily.Has(code)) Caution(5129, 5130, have_text);
    else Caution(5118, 0, have_text);
  }
  if (r.back_plate == kByteAttention) {
    if (kPlateTextModels.Has(code)) Caution(5017, 5001, have_text);
    else if (r.front_plate != kByteAttention) {
      if (scanner::kCompactFamily.Has(code)) Caution(5129, 5130, have_text);
      else Caution(5118, 0, have_text);
    }
  }
  for (uint8_t b : {r.front_lamp, r.back_lamp, r.front_plate, r.back_plate})
    if (b == kByteAttention) display_.error = true;
}

void StatusMonitor::Finish(const StatusDisplay& before, bool include_information) {
  if (!view_.IsForeground() && display_.error) view_.FlashTaskbar();
  if (display_.status != before.status || display_.part2 != before.part2 || display_.part3 != before.part3)
    view_.UpdateStatusControls();
  view_.UpdatePartStates();
  if (include_information) view_.InformationRefresh();
}

void StatusMonitor::Refresh(bool include_information) {
  PollingScope polling;
  const StatusDisplay before = display_;
  display_.part2.clear();
  display_.part3.clear();
  const uint8_t code = context_.model_code;
  const bool flatbed_unit = code == scanner::kFlatbedModelCode;
  if (!flatbed_unit && (include_information || (kPollsCounters.Has(code) && context_.connected)))
    counters_.BindAndRead(context_, 1);

  if (!context_.connected) {
    if (!device_busy || flatbed_unit) {
      display_.error = true;
      SetStatus(kIdsNotConnected, true);
    }
    view_.UpdateStatusControls();
    view_.LayoutErrorCode(false);
    in_use = false;
    view_.DisableParts();
    return;
  }

  const uint8_t ha = context_.host_adapter;
  const uint8_t target = context_.target;
  const scanner::StatusEntry* entry = nullptr;
  bool scanner_error = false;
  bool becoming_ready = false;
  int flags = 0;
  std::optional<scanner::CautionReport> report;
  if (!flatbed_unit) {
    scanner::ScannerStatus status;
    const bool read = scanner::ReadScannerStatus(ha, target, status, true) == 1;
    if (status.result == device::kResultBusy) return EndInUse(false);
    in_use = false;
    if (!read) {
      context_.connected = false;
      display_.error = true;
      SetStatus(kIdsNotConnected, true);
      return EndNotConnected();
    }
    if (code >= 12) {
      scanner::CautionReport r;
      if (scanner::ReadCautionReport(ha, target, r, true)) {
        if (context_.sides == 1) r.back_lamp = r.back_plate = 0;
        report = r;
      }
    }
    flags = Cautions(report ? &*report : nullptr);
    entry = &scanner::LookupStatus(scanner::StatusTableFor(code), status.code);
    if (status.code != 0 && (status.code >> 24) != 0x10) {
      display_.part3 = platform::Format("%08x", status.code);
      scanner_error = entry->first_line != scanner::kIdsNoError;
    } else {
      becoming_ready = status.state == kStateBecomingReady;
    }
  }

  bool flatbed_error = false;
  uint32_t flatbed_code = 0;
  if (!scanner_error && (context_.flatbed_usable || flatbed_unit)) {
    scanner::ScannerStatus fb;
    const bool read = scanner::ReadFlatbedStatus(ha, target, fb, true) == 1;
    if (fb.result == device::kResultBusy) return EndInUse(true);
    if (!read) {
      view_.LayoutErrorCode(false);
      view_.InformationRefresh();
      view_.DisableParts();
      return;
    }
    const scanner::StatusEntry& fb_entry = scanner::LookupStatus(scanner::StatusTable::kFlatbed, fb.code);
    if (fb.code != 0 && fb_entry.first_line != scanner::kIdsNoError) {
      display_.part3 = platform::Format("%08x", fb.code);
      flatbed_error = true;
      flatbed_code = fb.code;
      entry = &fb_entry;
    } else if (flatbed_unit) {
      entry = &fb_entry;
    }
  }
  view_.LayoutErrorCode(flatbed_error);

  const bool any_error = scanner_error || flatbed_error;
  if (!any_error) {
    display_.error = false;
    if (becoming_ready) {
      SetStatus(kIdsBecomingReady, true);
      SetStatus(kIdsBlank, false);
      view_.InformationRefresh();
      view_.DisableParts();
      return;
    }
  } else {
    display_.error = true;
  }
  display_.part2 = entry->short_code;
  bool have_text = false;
  if (flags == 0 || any_error) {
    SetStatus(entry->first_line, true);
    SetStatus(entry->second_line, false);
    have_text = any_error;
    if (flatbed_error) {
      AppendStatus(platform::Format("(%03d)", flatbed_code >> 24));
      view_.UpdateStatusControls();
      view_.UpdatePartStates();
      view_.InformationRefresh();
      return;
    }
  }
  if (flags) {
    display_.error = true;
    WriteCautionLines(flags, have_text);
  }
  if (report && code >= 12) WriteLampAndPlateLines(*report, have_text);
  Finish(before, include_information);
}

bool StatusMonitor::CheckFlatbedChange() {
  platform::Sleep(100);
  device::DeviceRecord unit;
  const bool present = device::FindFlatbedUnit(unit);
  const bool changed =
      context_.model_code == scanner::kFlatbedModelCode ? !present : present != context_.flatbed_usable;
  if (device::SelectDevice(context_.record) != 0) context_.connected = false;
  platform::Sleep(100);
  return changed;
}

bool StatusMonitor::ConnectionAttempt() {
  bool changed = false;
  {
    PollingScope polling;
    const bool was_connected = context_.connected;
    if (context_.connected && IsUsb(context_) && FlatbedRowApplies() && CheckFlatbedChange()) {
      device::CloseDeviceLibrary();
      device::OpenDeviceLibrary(device::kOpenAspi | device::kOpenStillImage);
      context_.connected = false;
    }
    if (!context_.connected) {
      connect_(context_);
      counters_.BindAndRead(context_, 1);
    }
    changed = was_connected && !context_.connected;
    if (FlatbedRowApplies() && !context_.flatbed_usable) ClearSavedFlatbedErrorCode();
  }
  if (!context_.connected && !changed) return false;
  view_.InformationRefresh();
  Refresh(false);
  return true;
}

void StatusMonitor::ConnectAtStart() {
  platform::HANDLE lock = platform::CreateMutex(false, kDeviceLockMutex);
  const bool taken = platform::GetLastError() == platform::ERROR_ALREADY_EXISTS;
  if (taken) {
    device_busy = true;
    pending_attempts = 2;
  } else {
    device_busy = false;
    ConnectionAttempt();
  }
  if (lock) platform::CloseHandle(lock);
}

bool StatusMonitor::AttemptUnderDeviceLock() {
  platform::HANDLE lock = platform::CreateMutex(false, kDeviceLockMutex);
  if (platform::GetLastError() == platform::ERROR_ALREADY_EXISTS) {
    device_busy = true;
    if (lock) platform::CloseHandle(lock);
    return false;
  }
  device_busy = false;
  view_.BeginWaitCursor();
  --pending_attempts;
  KeepAwakeHold();
  ConnectionAttempt();
  if (lock) platform::CloseHandle(lock);
  view_.EndWaitCursor();
  idle_ticks = 0;
  return true;
}

void StatusMonitor::OnStatusTimer() {
  view_.StopStatusTimer();
  if (pending_attempts > 0 && !in_use) AttemptUnderDeviceLock();
  if (context_.connected) {
    KeepAwakeHold();
    Refresh(false);
    idle_ticks = 0;
    KeepAwakeRelease();
  } else {
    KeepAwakeRelease();
    in_use = false;
    if (idle_ticks == 2) {
      idle_ticks = 0;
      pending_attempts = 1;
    } else {
      ++idle_ticks;
    }
  }
  if (in_use && pending_attempts > 0) pending_attempts = 1;
  view_.StartStatusTimer(kStatusInterval);
}

platform::LONG StatusMonitor::OnDeviceChange(uintptr_t event) {
  if (event == platform::system::DBT_DEVNODES_CHANGED && (!context_.connected || IsUsb(context_)))
    pending_attempts = 1;
  return 1;
}

platform::LONG StatusMonitor::OnPowerBroadcast(uintptr_t event) {
  namespace sys = platform::system;
  switch (event) {
    case sys::PBT_APMQUERYSUSPEND:
      return keep_awake_held ? static_cast<platform::LONG>(sys::BROADCAST_QUERY_DENY) : 1;
    case sys::PBT_APMSUSPEND:
      if (view_.StatusTimerRunning()) {
        timer_stopped_by_suspend = true;
        view_.StopStatusTimer();
      }
      return 1;
    case sys::PBT_APMRESUMESUSPEND:
      pending_attempts = 2;
      platform::Sleep(2000);
      view_.InvalidateWindow();
      if (timer_stopped_by_suspend) {
        timer_stopped_by_suspend = false;
        view_.StartStatusTimer(100);
      }
      return 1;
    default:
      return 1;
  }
}

void StatusMonitor::KeepAwakeHold() {
  if (!keep_awake_allowed_) return;
  platform::system::SetThreadExecutionState(platform::system::ES_CONTINUOUS | platform::system::ES_SYSTEM_REQUIRED);
  keep_awake_held = true;
}

void StatusMonitor::KeepAwakeRelease() {
  if (!keep_awake_allowed_) return;
  platform::system::SetThreadExecutionState(platform::system::ES_CONTINUOUS);
  keep_awake_held = false;
}

}  // namespace utility
