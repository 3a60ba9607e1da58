// Watching the scanner: the status refresh with its error and caution texts, the
// connection attempts, the status timer, device change and power events.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/win_types.h"
#include "scanner/scanner_context.h"
#include "scanner/status_commands.h"
#include "settings/counter_record.h"
#include "utility/status_view.h"

namespace utility {

constexpr unsigned kStatusTimerId = 1;
constexpr unsigned kStatusInterval = 5000;
extern const char* const kDeviceLockMutex;

class StatusMonitor {
 public:
  using Connector = std::function<int(scanner::ScannerContext&)>;

  StatusMonitor(scanner::ScannerContext& context, settings::CCounterRecord& counters, StatusDisplay& display, StatusView& view,
                Connector connect);

  void Refresh(bool include_information);
  // True when something changed.
  bool ConnectionAttempt();
  void OnStatusTimer();
  // WM_DEVICECHANGE; always TRUE.
  platform::LONG OnDeviceChange(uintptr_t event);
  // WM_POWERBROADCAST.
  platform::LONG OnPowerBroadcast(uintptr_t event);

  // Start of the window: the connection under the device lock, or two attempts later.
  void ConnectAtStart();

  // Status box texts.
  void SetStatus(int string_id, bool replace);
  void AppendStatus(const std::string& text);

  void KeepAwakeHold();
  void KeepAwakeRelease();
  void SetKeepAwakeAllowed(bool allowed) { keep_awake_allowed_ = allowed; }
  bool FlatbedRowApplies() const;

  int pending_attempts = 0;
  bool device_busy = false;
  bool in_use = false;
  int idle_ticks = 0;
  // Also read by the thread that broadcasts a suspend query.
  std::atomic<bool> keep_awake_held{false};
  bool timer_stopped_by_suspend = false;

 private:
  struct Outcome;
  void EndNotConnected();
  void EndInUse(bool refresh_information);
  bool ReadScanner(scanner::ScannerStatus& status);
  int Cautions(const scanner::CautionReport* report) const;
  void WriteCautionLines(int flags, bool& have_text);
  void WriteLampAndPlateLines(const scanner::CautionReport& report, bool& have_text);
  void Caution(int first, int second, bool& have_text);
  void Finish(const StatusDisplay& before, bool include_information);
  // A connection attempt under the device lock; false when another program holds it.
  bool AttemptUnderDeviceLock();
  bool CheckFlatbedChange();

  scanner::ScannerContext& context_;
  settings::CCounterRecord& counters_;
  StatusDisplay& display_;
  StatusView& view_;
  Connector connect_;
  bool keep_awake_allowed_ = false;
};

}  // namespace utility
