#include "utility/service_utility_app.h"

#include "device/device_library.h"
#include "errorlog/counter_reset_record.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/named.h"
#include "platform/paths.h"
#include "resources/app_resources.h"
#include "resources/builtin_scripts.h"
#include "resources/language_files.h"
#include "utility/command_line_info.h"
#include "settings/counter_record.h"
#include "utility/service_utility_dlg.h"

namespace utility {

const char* const kNormalWindowProperty = "QMXUUtilityWindowClass";
const char* const kIndicatorWindowProperty = "QMXUDtilityWindowClass";

namespace {

constexpr int kIdsAppName = 3141;
constexpr const char* kNormalMutex = "QMXUUtilityMultiCheckMutex";
constexpr const char* kIndicatorMutex = "QMXUDtilityMultiCheckMutex";
// Time given to the indicator-started window to go before this one comes up.
constexpr platform::DWORD kCloseWaitMs = 100;

bool IsUtilityWindow(platform::HWND hwnd) {
  return platform::GetProp(hwnd, kNormalWindowProperty) || platform::GetProp(hwnd, kIndicatorWindowProperty);
}

// Only the first such window is asked to close.
void CloseIndicatorStartedWindow() {
  platform::EnumWindows([](platform::HWND hwnd) {
    if (!platform::GetProp(hwnd, kIndicatorWindowProperty)) return true;
    platform::PostMessage(hwnd, platform::WM_CLOSE, 0, 0);
    platform::Sleep(kCloseWaitMs);
    return false;
  });
}

// Every utility window of either kind; the window itself knows whether it is minimized.
void BringUtilityWindowsForward() {
  platform::EnumWindows([](platform::HWND hwnd) {
    if (IsUtilityWindow(hwnd)) {
      platform::ShowWindow(hwnd, platform::SW_RESTORE);
      platform::SetForegroundWindow(platform::GetLastActivePopup(hwnd));
    }
    return true;
  });
}

// The error log's record of a roller counter reset, from the window's counter record:
// the scanner is not asked again.
void AppendCounterResetRecord(const scanner::ScannerContext& context, const settings::CCounterRecord& counters,
                              CounterResetKind kind) {
  const errorlog::CounterValues values{counters.system, counters.flatbed, counters.after_clean,
                                       counters.after_replace, counters.paper_feed};
  errorlog::AppendCounterResetRecord(
      context, values, kind == CounterResetKind::kClean ? errorlog::ResetKind::kClean : errorlog::ResetKind::kReplace);
}

}  // namespace

bool CServiceUtilityApp::InitInstance(int argc, const char* const* argv) {
  resources_ = resources::LoadProgramResources(resources::ScanutilScript(), platform::paths::ProgramFolder());
  resources::SetAppResources(resources_);

  CUCommandLineInfo command_line;
  platform::ParseCommandLine(argc, argv, command_line);
  indicator_mode_ = command_line.indicator_mode;

  if (!CheckSingleInstance()) return false;

  device::OpenDeviceLibrary(device::kOpenAspi | device::kOpenStillImage);
  app_name_ = resources_.LoadString(kIdsAppName);
  platform::SetAppName(app_name_);

  CServiceUtilityDlg window(indicator_mode_);
  window.SetCounterResetHook(AppendCounterResetRecord);
  window.DoModal();
  return false;
}

int CServiceUtilityApp::ExitInstance() {
  device::CloseDeviceLibrary();
  if (instance_mutex_) platform::CloseHandle(instance_mutex_);
  instance_mutex_ = nullptr;
  return 0;
}

bool CServiceUtilityApp::CheckSingleInstance() {
  if (!indicator_mode_) CloseIndicatorStartedWindow();
  platform::HANDLE mutex = platform::CreateMutex(false, indicator_mode_ ? kIndicatorMutex : kNormalMutex);
  if (!mutex) return false;
  if (platform::GetLastError() == platform::ERROR_ALREADY_EXISTS) {
    platform::CloseHandle(mutex);
    BringUtilityWindowsForward();
    return false;
  }
  instance_mutex_ = mutex;
  return true;
}

}  // namespace utility
