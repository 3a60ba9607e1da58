// Top-level windows as the programs of one user see each other: window properties,
// the walk over top-level windows, posted messages and restore / foreground requests.
//
// A window that carries at least one property is registered in a per-user folder
// ($XDG_RUNTIME_DIR/scanutil-desktop, else $TMPDIR/scanutil-desktop-<uid>) with its
// properties and the local socket its process listens on; other processes find it there.
// Handles are sequence numbers drawn in that folder, so the walk visits windows in the
// order they were created and a handle names the same window in every process. A window
// without properties is known to its own process only. The folder is fixed when a
// process's first window is created, until its last window is gone.
//
// Delivery: each process that has a window runs one listener thread. Posted messages and
// requests reach the window's callbacks ON THAT THREAD, one at a time; the UI framework
// marshals them to its own thread (a queued call) and must not block the listener waiting
// for its thread, because destroying a window waits for a callback in progress.
// Posting never waits for an answer: a message that cannot be handed over within a short
// bound is dropped and PostMessage returns false. A child forked without exec starts
// with no windows of its own: to it the parent's windows are another process's.
#pragma once
#include <functional>
#include <string_view>

#include "platform/message_pump.h"
#include "platform/win_types.h"

namespace platform {

constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_USER = 0x0400;
constexpr int SW_RESTORE = 9;

// Longest property name, as for the system's atoms.
constexpr size_t kMaxPropertyName = 255;

// What another program (or this one) asks of a window through ShowWindow and
// SetForegroundWindow. kRestore undoes a minimize; a window that is not minimized stays as
// it is (the asking program cannot see the window's state, so the owner decides).
// kForeground brings the window's last active pop-up (else the window) to the front.
enum class WindowRequest : uint16_t { kRestore = 1, kForeground = 2 };

struct DesktopCallbacks {
  std::function<void(UINT message, WPARAM wparam, LPARAM lparam)> message;
  std::function<void(WindowRequest request)> request;
};

// One top-level window, created by the UI framework with the window and destroyed with it.
// Destroying it removes its registration and waits for a callback in progress (unless
// called from a callback); after that no callback of it runs. When the process exits
// normally, the registrations of windows still alive are removed; a process killed hard
// leaves registrations that the next walk discards.
class DesktopWindow {
 public:
  explicit DesktopWindow(DesktopCallbacks callbacks);
  ~DesktopWindow();
  DesktopWindow(const DesktopWindow&) = delete;
  DesktopWindow& operator=(const DesktopWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Properties can be set on this process's windows only. Names compare without regard to
// ASCII case; an empty or too long name fails. SetProp fails (false) when the window cannot
// be registered, and the property is then not set.
bool SetProp(HWND hwnd, std::string_view name, HANDLE data);
// The value, or nullptr when the window does not carry the property. Works on any window.
HANDLE GetProp(HWND hwnd, std::string_view name);
// Removes the property and returns its value (nullptr when it was not there).
HANDLE RemoveProp(HWND hwnd, std::string_view name);

// Visits the registered windows of every process in creation order until visit returns
// false. Registrations of processes that are gone are skipped and deleted.
void EnumWindows(const std::function<bool(HWND)>& visit);
// The first window in walk order whose property name is set (non-null), or nullptr.
HWND FindWindowWithProperty(std::string_view name);

// Queues the message for the window, in this process or another. False when the window is
// unknown or gone, or the message could not be handed over at once.
bool PostMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// Only SW_RESTORE is carried to the window (as WindowRequest::kRestore); other commands
// fail. Returns whether the request was handed over.
bool ShowWindow(HWND hwnd, int command);
bool SetForegroundWindow(HWND hwnd);
// The window raises its own last active pop-up when asked to come forward, so the window
// stands for it here.
inline HWND GetLastActivePopup(HWND hwnd) { return hwnd; }

}  // namespace platform
