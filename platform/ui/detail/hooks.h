// What the framework installs into the Qt application when it is created, and the
// internal entry points its parts call on each other.
#pragma once
#include "platform/desktop.h"
#include "platform/ui/ui_types.h"

class QApplication;

namespace platform::ui::detail {

// The keyboard filter for dialogs, the thread's message queue and the desktop library.
void InstallEventHooks(QApplication& app);
void InstallMessageQueue();
void RegisterDesktopLibrary();
// Timers of a window that goes away.
void KillWindowTimers(HWND hwnd);
// Posted messages of a window that goes away.
void DropPostedMessages(HWND hwnd);
// From any thread: a message for a window of ours, and a restore / foreground request.
void QueueMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void QueueRequest(HWND hwnd, platform::WindowRequest request);
class DialogFrame;
// Raises and activates the dialog (the foreground override follows).
void BringToFront(DialogFrame& frame);

}  // namespace platform::ui::detail
