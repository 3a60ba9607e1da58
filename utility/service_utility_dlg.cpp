#include "utility/service_utility_dlg.h"

#include "device/device_library.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/ui/desktop.h"
#include "platform/ui/icons.h"
#include "platform/ui/posted_messages.h"
#include "platform/ui/wait_cursor.h"
#include "resources/app_resources.h"
#include "scanner/debug_settings.h"
#include "scanner/setting_commands.h"
#include "utility/connect_scanner.h"
#include "utility/control_ids.h"
#include "utility/indicator_handoff.h"
#include "utility/select_scanner_dlg.h"

namespace utility {
namespace {

namespace ui = platform::ui;

constexpr int kIdsAbout = 2001;
constexpr int kIdsAppName = 3141;
constexpr int kIdsComplete = 3102;
constexpr int kIdsBlank = 5114;
constexpr unsigned kCommandTimer = 10;
constexpr platform::UINT kAboutCommand = 16;
constexpr const char* kNormalProperty = "QMXUUtilityWindowClass";
constexpr const char* kIndicatorStartedProperty = "QMXUDtilityWindowClass";
constexpr ui::COLORREF kErrorRed = ui::RGB(255, 0, 0);

int ReadDispOnly() {
  return static_cast<int>(platform::GetPrivateProfileInt("Setup", "DispOnly", 0, scanner::ScUtilIniPath()));
}

}  // namespace

BEGIN_MESSAGE_MAP(CServiceUtilityDlg, platform::ui::CDialog)
  ON_BN_CLICKED(id::kSleepMode, &CServiceUtilityDlg::OnSleepMode)
  ON_BN_CLICKED(id::kPaperBuzzer, &CServiceUtilityDlg::OnPaperBuzzer)
  ON_BN_CLICKED(id::kCompatibleMode, &CServiceUtilityDlg::OnCompatibleMode)
  ON_BN_CLICKED(id::kCautionSetting, &CServiceUtilityDlg::OnCautionSetting)
  ON_BN_CLICKED(id::kCleanImprinter, &CServiceUtilityDlg::OnCleanImprinter)
  ON_BN_CLICKED(id::kClearAfterClean, &CServiceUtilityDlg::OnClearAfterClean)
  ON_BN_CLICKED(id::kClearAfterReplace, &CServiceUtilityDlg::OnClearAfterReplace)
  ON_BN_CLICKED(id::kClearPaperFeed, &CServiceUtilityDlg::OnClearPaperFeed)
  ON_BN_CLICKED(id::kUpdateAllCounters, &CServiceUtilityDlg::OnUpdateAllCounters)
  ON_BN_CLICKED(id::kSelectScanner, &CServiceUtilityDlg::OnSelectScanner)
  ON_BN_CLICKED(id::kSaveInfo, &CServiceUtilityDlg::OnSaveInfo)
  ON_BN_CLICKED(id::kHelp, &CServiceUtilityDlg::OnHelp)
  ON_BN_CLICKED(id::kAbout, &CServiceUtilityDlg::OnAbout)
  ON_BN_CLICKED(id::kInformationGroup, &CServiceUtilityDlg::OnInformationCaption)
  ON_BN_CLICKED(id::kCounterGroup, &CServiceUtilityDlg::OnCounterCaption)
  ON_EN_UPDATE(id::kStatusBox, &CServiceUtilityDlg::OnStatusTextChanged)
  ON_EN_UPDATE(id::kErrorPart2, &CServiceUtilityDlg::OnStatusTextChanged)
  ON_EN_UPDATE(id::kErrorPart3, &CServiceUtilityDlg::OnStatusTextChanged)
  ON_MESSAGE(ui::WM_DEVICECHANGE, &CServiceUtilityDlg::OnDeviceChange)
  ON_MESSAGE(ui::WM_POWERBROADCAST, &CServiceUtilityDlg::OnPowerBroadcast)
END_MESSAGE_MAP()

CServiceUtilityDlg::CServiceUtilityDlg(int indicator_mode)
    : ui::CDialog(102),
      indicator_mode_(indicator_mode),
      disp_only_(ReadDispOnly()),
      monitor_(context_, counters_, display_, *this, [](scanner::ScannerContext& c) { return ConnectScanner(c); }) {
  scanner::ResetContext(context_);
  SetScannerChooser(ShowSelectScanner);
}

bool CServiceUtilityDlg::OnInitDialog() {
  ui::CDialog::OnInitDialog();
  const std::string about = resources::LoadString(kIdsAbout);
  if (!about.empty()) {
    ui::CMenu* menu = GetSystemMenu(false);
    menu->AppendMenu(ui::MF_SEPARATOR);
    menu->AppendMenu(ui::MF_STRING, kAboutCommand, about);
  }
  SetIcon(ui::LoadIcon(130), true);
  SetIcon(ui::LoadIcon(130), false);
  firmware_label_top_ = ClientRect(id::kFirmwareLabel).top;
  info_row_pitch_ = ClientRect(id::kFirmwareLabel).bottom - ClientRect(id::kModelLabel).bottom;
  counters_.BindAndRead(context_, 1);
  monitor_.ConnectAtStart();
  LayoutErrorCode(false);
  monitor_.Refresh(false);
  InformationRefresh();
  platform::SetProp(m_hWnd, indicator_mode_ ? kIndicatorStartedProperty : kNormalProperty,
                    reinterpret_cast<platform::HANDLE>(1));
  ListenToSystemEvents();
  StartStatusTimer(kStatusInterval);
  if (DisplayOnly()) DisplayOnlyLayout();
  else UserLayout();
  // Keep awake is for one system version only, never this one.
  monitor_.SetKeepAwakeAllowed(false);
  return false;
}

void CServiceUtilityDlg::ListenToSystemEvents() {
  const platform::HWND hwnd = m_hWnd;
  system_events_ = std::make_unique<platform::system::ScopedSystemMessageListener>(
      [this, hwnd](platform::UINT message, platform::WPARAM wparam, platform::LPARAM lparam) -> ui::LRESULT {
        namespace sys = platform::system;
        if (message == sys::WM_POWERBROADCAST && wparam == sys::PBT_APMQUERYSUSPEND)
          return monitor_.OnPowerBroadcast(wparam);
        if (message == sys::WM_DEVICECHANGE || message == sys::WM_POWERBROADCAST)
          ui::PostDialogMessage(hwnd, message, wparam, lparam);
        return 1;
      });
}

void CServiceUtilityDlg::OnOK() {}  // Enter leaves the window open

void CServiceUtilityDlg::OnTimer(ui::UINT_PTR id) {
  if (id == kStatusTimerId) monitor_.OnStatusTimer();
}

void CServiceUtilityDlg::OnSysCommand(platform::UINT id, platform::LPARAM lparam) {
  if ((id & 0xFFF0) == kAboutCommand) return OnAbout();
  ui::CDialog::OnSysCommand(id, lparam);
}

void CServiceUtilityDlg::OnPaint() {
  ui::CDialog::OnPaint();
  if (!first_paint_) return;
  first_paint_ = false;
  if (!DisplayOnly()) EnableStep();
}

void CServiceUtilityDlg::OnDestroy() {
  system_events_.reset();
  platform::RemoveProp(m_hWnd, indicator_mode_ ? kIndicatorStartedProperty : kNormalProperty);
  ClearSavedFlatbedErrorCode();
  device::UnlockScanner();
  monitor_.KeepAwakeRelease();
  ui::CDialog::OnDestroy();
}

// StatusView.

void CServiceUtilityDlg::UpdateStatusControls() {
  SetDlgItemText(id::kStatusBox, display_.status);
  SetDlgItemText(id::kErrorPart1, display_.part1);
  SetDlgItemText(id::kErrorPart2, display_.part2);
  SetDlgItemText(id::kErrorPart3, display_.part3);
  GetDlgItem(id::kStatusBox)->SetTextColor(display_.error ? std::optional<ui::COLORREF>(kErrorRed) : std::nullopt);
}

void CServiceUtilityDlg::UpdatePartStates() {
  GetDlgItem(id::kErrorPart3)->EnableWindow(!display_.part3.empty());
  GetDlgItem(id::kErrorPart2)->EnableWindow(!display_.part2.empty());
  if (display_.part1.empty()) GetDlgItem(id::kErrorPart1)->EnableWindow(false);
}

void CServiceUtilityDlg::DisableParts() {
  GetDlgItem(id::kErrorPart2)->EnableWindow(false);
  GetDlgItem(id::kErrorPart3)->EnableWindow(false);
}

bool CServiceUtilityDlg::IsForeground() { return ui::GetForegroundWindow() == this; }

void CServiceUtilityDlg::FlashTaskbar() {
  ui::FLASHWINFO info;
  info.hwnd = m_hWnd;
  info.dwFlags = ui::FLASHW_TRAY;
  info.uCount = 10;
  info.dwTimeout = 500;
  ui::FlashWindowEx(&info);
}

void CServiceUtilityDlg::StartStatusTimer(unsigned ms) {
  SetTimer(kStatusTimerId, ms);
  timer_running_ = true;
}

void CServiceUtilityDlg::StopStatusTimer() {
  KillTimer(kStatusTimerId);
  timer_running_ = false;
}

void CServiceUtilityDlg::BeginWaitCursor() { ui::BeginWaitCursor(); }
void CServiceUtilityDlg::EndWaitCursor() { ui::EndWaitCursor(); }
void CServiceUtilityDlg::InvalidateWindow() { Invalidate(true); }

// The command frame.

void CServiceUtilityDlg::ClearStatusDisplay() {
  display_.part2.clear();
  display_.part3.clear();
  display_.status = resources::LoadString(kIdsBlank);
  LayoutErrorCode(false);
  UpdateStatusControls();
}

void CServiceUtilityDlg::BeginCommand() {
  StopStatusTimer();
  ClearStatusDisplay();
}

void CServiceUtilityDlg::EndCommand(unsigned timer_ms) {
  if (timer_ms == kStatusInterval) monitor_.Refresh(false);
  StartStatusTimer(timer_ms);
}

void CServiceUtilityDlg::OnCleanImprinter() {
  BeginCommand();
  if (scanner::CleanImprinter(context_.host_adapter, context_.target, 100))
    platform::AfxMessageBox(resources::LoadString(kIdsComplete), platform::MB_ICONINFORMATION);
  EndCommand(kStatusInterval);
}

void CServiceUtilityDlg::ClearCounter(settings::Counter counter, int row_value_id, CounterResetKind kind) {
  BeginCommand();
  const uint32_t before = counters_.Count(counter);
  counters_.Clear(counter);
  const std::string text = counter == settings::Counter::kAfterClean     ? counters_.AfterCleanText()
                           : counter == settings::Counter::kAfterReplace ? counters_.AfterReplaceText()
                                                               : counters_.PaperFeedText();
  SetDlgItemText(row_value_id, text);
  if (before != 0 && counters_.Count(counter) == 0 && counter_reset_) counter_reset_(context_, counters_, kind);
  EndCommand(kStatusInterval);
}

void CServiceUtilityDlg::OnClearAfterClean() {
  ClearCounter(settings::Counter::kAfterClean, id::kAfterCleanValue, CounterResetKind::kClean);
}
void CServiceUtilityDlg::OnClearAfterReplace() {
  ClearCounter(settings::Counter::kAfterReplace, id::kAfterReplaceValue, CounterResetKind::kReplace);
}
void CServiceUtilityDlg::OnClearPaperFeed() {
  ClearCounter(settings::Counter::kPaperFeed, id::kPaperFeedValue, CounterResetKind::kReplace);
}

void CServiceUtilityDlg::OnUpdateAllCounters() {
  BeginCommand();
  if (counters_.Read(0)) WriteCounterTexts(true);
  EndCommand(kStatusInterval);
}

void CServiceUtilityDlg::OnStatusTextChanged() {
  // The texts stay what the status display says; they can be selected, not changed.
  if (GetDlgItemText(id::kStatusBox) != display_.status) SetDlgItemText(id::kStatusBox, display_.status);
  if (GetDlgItemText(id::kErrorPart2) != display_.part2) SetDlgItemText(id::kErrorPart2, display_.part2);
  if (GetDlgItemText(id::kErrorPart3) != display_.part3) SetDlgItemText(id::kErrorPart3, display_.part3);
}

void CServiceUtilityDlg::OnInformationCaption() {
  platform::AfxMessageBox(PanelSummary(true), platform::MB_ICONINFORMATION);
}

void CServiceUtilityDlg::OnCounterCaption() {
  platform::AfxMessageBox(PanelSummary(false), platform::MB_ICONINFORMATION);
}

ui::LRESULT CServiceUtilityDlg::OnDeviceChange(platform::WPARAM wparam, platform::LPARAM) {
  return monitor_.OnDeviceChange(wparam);
}

ui::LRESULT CServiceUtilityDlg::OnPowerBroadcast(platform::WPARAM wparam, platform::LPARAM) {
  return monitor_.OnPowerBroadcast(wparam);
}

}  // namespace utility
