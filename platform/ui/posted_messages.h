// Posted window messages and the message pump of long procedures.
//
// CWnd::PostMessage queues a message for a dialog of this process; the event loop
// delivers it to the dialog's WindowProc (message map, then the virtual handlers).
// platform::PostMessage (platform/desktop.h) reaches any window, a dialog of this
// program included: what the desktop delivers for a dialog (from another program or
// this one), and its restore and foreground requests, go to the dialog's thread. The framework installs platform::MessageQueue over Qt's event
// loop: PeekMessage lets Qt handle pending input, paint and timer events, delivering
// posted messages as it goes, and then reports a posted message still waiting in the
// range asked for, if any.
#pragma once
#include "platform/ui/ui_types.h"

namespace platform::ui {

// A dialog of this process only; false for any other handle.
bool PostDialogMessage(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Delivers at once; 0 when hwnd is not a dialog.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

}  // namespace platform::ui
