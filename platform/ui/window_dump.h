// What is on the screen, for automation and reviews: every open dialog as JSON, and a
// picture of a dialog.
//
// JSON: {"windows": [window...]} with the first opened first; a window is
//   {"template": "102", "title": "...", "window": [l, t, r, b] (screen),
//    "client": [0, 0, w, h], "focus": id or null, "controls": [control...]}
// and a control
//   {"id": 1007, "kind": "button", "class": "Button", "text": "&Sleep Mode...",
//    "visible": true, "enabled": false, "rect": [l, t, r, b] (dialog client pixels),
//    "checked": 0|1|2 (check boxes and radio buttons), "items": [...] and
//    "selection": n (combo and list boxes; -1 for none), "position", "range" (spins),
//    "default": true (the default push button), "image": [w, h] (icons and pictures
//    showing one), "textColor": "#rrggbb" (when set)}.
#pragma once
#include <string>

#include "platform/ui/dialog.h"

namespace platform::ui {

// extra_members, when given, are more members of the outer object ("name": value, ...).
std::string DumpWindowsJson(const std::string& extra_members = {});
// The dialog drawn as it shows, in a window frame of the fixed metrics (caption bar
// with the title, borders), so the picture has the window rectangle's size. False
// when it cannot be written.
// A JSON string literal of the text.
std::string JsonString(const std::string& text);

bool SaveScreenshot(CDialog& dialog, const std::string& png_path);

}  // namespace platform::ui
