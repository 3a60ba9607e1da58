// The desktop as the dialogs see it: which window is in the foreground, and the
// taskbar flash. Both go through seams: the offscreen platform shows no taskbar and
// activates windows through queued events, so tests and automation decide the
// foreground window themselves and read the flashes back.
//
// FlashWindowEx is also offered as an entry of the library "user32.dll"
// (LoadLibraryAs<User32Library>), for code that looks the function up at run time.
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "platform/module.h"
#include "platform/ui/ui_types.h"

namespace platform::ui {

class CWnd;

constexpr DWORD FLASHW_STOP = 0;
constexpr DWORD FLASHW_CAPTION = 1;
constexpr DWORD FLASHW_TRAY = 2;
constexpr DWORD FLASHW_ALL = 3;
constexpr DWORD FLASHW_TIMER = 4;
constexpr DWORD FLASHW_TIMERNOFG = 12;

struct FLASHWINFO {
  UINT cbSize = sizeof(FLASHWINFO);
  HWND hwnd = nullptr;
  DWORD dwFlags = 0;
  UINT uCount = 0;
  DWORD dwTimeout = 0;
};

// The foreground window; null when it is none of ours. platform::SetForegroundWindow
// (platform/desktop.h) brings a window forward, in this program or another.
CWnd* GetForegroundWindow();
// Tests and automation: the window to report as foreground (nullopt: ask Qt; a null
// handle: no window of ours is in the foreground). A window brought forward while an
// override is set becomes the override.
void SetForegroundOverride(std::optional<HWND> hwnd);

// Alerts through the desktop (QApplication::alert for uCount * dwTimeout ms, until
// activated when 0) and reports the request to the flash recorder when one is set.
// False when hwnd is not a window.
bool FlashWindowEx(const FLASHWINFO* info);
// Every flash request goes to the recorder (null: none). While one is set the desktop
// is not alerted.
void SetFlashRecorder(std::function<void(const FLASHWINFO&)> recorder);

// Records the flashes for its lifetime.
class FlashLog {
 public:
  FlashLog() {
    SetFlashRecorder([this](const FLASHWINFO& info) { flashes.push_back(info); });
  }
  ~FlashLog() { SetFlashRecorder(nullptr); }
  FlashLog(const FlashLog&) = delete;
  FlashLog& operator=(const FlashLog&) = delete;
  std::vector<FLASHWINFO> flashes;
};

class User32Library : public Module {
 public:
  std::function<bool(const FLASHWINFO*)> FlashWindowEx;
};

}  // namespace platform::ui
