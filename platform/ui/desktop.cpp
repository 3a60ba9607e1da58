#include "platform/ui/desktop.h"

#include <QApplication>

#include "platform/ui/detail/hooks.h"
#include "platform/ui/detail/window.h"

namespace platform::ui {
namespace {

std::optional<HWND>& ForegroundOverride() {
  static std::optional<HWND> hwnd;
  return hwnd;
}

std::function<void(const FLASHWINFO&)>& Recorder() {
  static std::function<void(const FLASHWINFO&)> recorder;
  return recorder;
}

}  // namespace

CWnd* GetForegroundWindow() {
  if (ForegroundOverride()) return CWnd::FromHandle(*ForegroundOverride());
  detail::Window* window = detail::Window::FromWidget(QApplication::activeWindow());
  return window ? window->object : nullptr;
}


void SetForegroundOverride(std::optional<HWND> hwnd) { ForegroundOverride() = hwnd; }

bool FlashWindowEx(const FLASHWINFO* info) {
  if (!info) return false;
  detail::Window* window = detail::Window::FromHandle(info->hwnd);
  if (!window) return false;
  if (Recorder()) {
    Recorder()(*info);
    return true;
  }
  if (info->dwFlags != FLASHW_STOP) QApplication::alert(window->frame().widget(), static_cast<int>(info->uCount * info->dwTimeout));
  return true;
}

void SetFlashRecorder(std::function<void(const FLASHWINFO&)> recorder) { Recorder() = std::move(recorder); }

namespace detail {

void BringToFront(DialogFrame& frame) {
  if (ForegroundOverride()) ForegroundOverride() = frame.handle();
  frame.widget()->raise();
  frame.widget()->activateWindow();
}

void RegisterDesktopLibrary() {
  platform::RegisterModule("user32.dll", [] {
    auto library = std::make_shared<User32Library>();
    library->FlashWindowEx = [](const FLASHWINFO* info) { return ::platform::ui::FlashWindowEx(info); };
    return library;
  });
}

}  // namespace detail
}  // namespace platform::ui
