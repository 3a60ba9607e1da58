// Window timers. They run on Qt's clock, or, after UseVirtualTimers(true), on a
// virtual clock that only AdvanceTimers and FireNextTimers move: nothing then fires by
// itself, and a test or an automation script decides when each tick comes, without
// waiting for it. A tick sends WM_TIMER to the window (OnTimer).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

// CWnd::SetTimer / KillTimer.
UINT_PTR StartWindowTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms);
bool StopWindowTimer(HWND hwnd, UINT_PTR id);

struct TimerInfo {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT interval_ms = 0;
  uint64_t due = 0;  // virtual time of the next tick (virtual timers only)
};
std::vector<TimerInfo> ActiveTimers();

// Switching moves the running timers to the other clock, each starting its interval anew.
void UseVirtualTimers(bool on);
bool VirtualTimersInUse();
// Virtual time in milliseconds.
uint64_t VirtualNow();
// Moves virtual time forward by ms, firing every tick that falls due on the way, in
// order of time; a timer started or restarted by a handler counts from that moment.
// Returns the number of ticks fired.
int AdvanceTimers(uint64_t ms);
// Moves virtual time to the next n ticks and fires them; fewer when the timers run
// out. Returns the number fired.
int FireNextTimers(int n);

}  // namespace platform::ui
