// The utility's window: the scanner's identity, counters and status, and the user's
// commands.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/system.h"
#include "platform/ui/dialog.h"
#include "scanner/scanner_context.h"
#include "settings/counter_record.h"
#include "utility/status_monitor.h"
#include "utility/status_view.h"

namespace utility {

// Counter-reset records for the error log: the window calls it after a count went to 0,
// with its counter record as it reads after the reset.
enum class CounterResetKind { kClean, kReplace };
using CounterResetHook = std::function<void(const scanner::ScannerContext&, const settings::CCounterRecord&, CounterResetKind)>;

class CServiceUtilityDlg : public platform::ui::CDialog, public StatusView {
 public:
  explicit CServiceUtilityDlg(int indicator_mode);

  void SetCounterResetHook(CounterResetHook hook) { counter_reset_ = std::move(hook); }
  const scanner::ScannerContext& context() const { return context_; }
  const StatusDisplay& display() const { return display_; }
  StatusMonitor& monitor() { return monitor_; }
  bool DisplayOnly() const { return indicator_mode_ != 0 || disp_only_ == 1; }

  // StatusView.
  void UpdateStatusControls() override;
  void LayoutErrorCode(bool with_part1) override;
  void UpdatePartStates() override;
  void DisableParts() override;
  void InformationRefresh() override;
  bool IsForeground() override;
  void FlashTaskbar() override;
  void StartStatusTimer(unsigned ms) override;
  void StopStatusTimer() override;
  bool StatusTimerRunning() override { return timer_running_; }
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void InvalidateWindow() override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnTimer(platform::ui::UINT_PTR id) override;
  void OnSysCommand(platform::UINT id, platform::LPARAM lparam) override;
  void OnPaint() override;
  void OnDestroy() override;

  // Commands.
  void OnSleepMode();       // sleep_mode_command.cpp
  void OnPaperBuzzer();     // settings_commands.cpp
  void OnCompatibleMode();  // settings_commands.cpp
  void OnCautionSetting();  // settings_commands.cpp
  void OnCleanImprinter();
  void OnClearAfterClean();
  void OnClearAfterReplace();
  void OnClearPaperFeed();
  void OnUpdateAllCounters();
  void OnSelectScanner();
  void OnSaveInfo();  // save_info_command.cpp
  void OnHelp();
  void OnAbout();
  void OnStatusTextChanged();
  void OnInformationCaption();
  void OnCounterCaption();
  platform::ui::LRESULT OnDeviceChange(platform::WPARAM wparam, platform::LPARAM lparam);
  platform::ui::LRESULT OnPowerBroadcast(platform::WPARAM wparam, platform::LPARAM lparam);

  DECLARE_MESSAGE_MAP()

 private:
  // The frame around every button command.
  void BeginCommand();
  void EndCommand(unsigned timer_ms);
  void ClearStatusDisplay();
  void ListenToSystemEvents();
  void ClearCounter(settings::Counter counter, int row_value_id, CounterResetKind kind);

  // Layouts (main_layout.cpp).
  void UserLayout();
  void DisplayOnlyLayout();
  void PanelLayout();
  void LayoutConditionButtons();
  void LayoutBottomRow();
  void EnableStep();
  void MoveBy(int id, int dx, int dy);
  platform::ui::CRect ClientRect(int id) const;
  platform::ui::CRect WindowInClient() const;
  void Show(int id, bool show);
  void ShowEnable(int id, bool on);

  // The panels (information_panel.cpp).
  void WriteInformation();
  void LayoutInformationRows();
  void LayoutCounterRows();
  // The counter rows' texts; the flatbed counter's only when asked.
  void WriteCounterTexts(bool flatbed_counter);
  std::string PanelSummary(bool information) const;

  int indicator_mode_;
  int disp_only_ = 0;
  scanner::ScannerContext context_;
  settings::CCounterRecord counters_;
  StatusDisplay display_;
  StatusMonitor monitor_;
  bool timer_running_ = false;
  bool first_paint_ = true;
  int wait_cursors_ = 0;
  CounterResetHook counter_reset_;
  // Device-change and power events, handed to the window's own thread.
  std::unique_ptr<platform::system::ScopedSystemMessageListener> system_events_;
  // Row template places, taken before any layout moves them.
  int firmware_label_top_ = 0;
  int info_row_pitch_ = 0;
};

}  // namespace utility
