// Posted window messages and the message pump of long procedures.
//
// PostMessage queues a message for a dialog of this process (any thread may post);
// the event loop delivers it to the window's WindowProc (message map, then the
// virtual handlers). Other windows (other programs') are reached through the desktop
// (platform/desktop.h), which also hands what other programs post to a dialog, and
// their restore and foreground requests, to the dialog's thread. The framework installs platform::MessageQueue over Qt's event
// loop: PeekMessage lets Qt handle pending input, paint and timer events, delivering
// posted messages as it goes, and then reports a posted message still waiting in the
// range asked for, if any.
#pragma once
#include "platform/ui/ui_types.h"

namespace platform::ui {

// False when hwnd names no window, here or on the desktop.
bool PostMessage(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Delivers at once; 0 when hwnd is not a dialog.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

}  // namespace platform::ui
