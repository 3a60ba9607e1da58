// The process's Qt application, created on first use by any dialog, box or image.
// A program may create it earlier under its own name. Qt never sees the program's
// command line: it would act on options such as -style or -reverse, swallow their
// arguments and leave the vector changed under the program's own parser. Without a display
// (neither DISPLAY nor WAYLAND_DISPLAY set, and QT_QPA_PLATFORM unset) it runs on the
// offscreen platform. The dialog font is DejaVu Sans Condensed at kFontPixelSize pixels and the
// style Fusion, so windows look the same on every machine.
#pragma once

namespace platform::ui {

void InitApplication(const char* program_name);
void EnsureApplication();
// True on the offscreen platform.
bool IsHeadless();
// Lets Qt handle the events that are pending (input, paint, timers, posted messages).
void ProcessPendingEvents();

}  // namespace platform::ui
