#include "platform/ui/timers.h"

#include <QTimer>
#include <algorithm>
#include <list>
#include <memory>

#include "platform/ui/application.h"
#include "platform/ui/detail/hooks.h"
#include "platform/ui/detail/window.h"

namespace platform::ui {
namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT interval;
  uint64_t due = 0;
  std::unique_ptr<QTimer> qt;
};

struct Table {
  std::list<Timer> timers;
  bool virtual_clock = false;
  uint64_t now = 0;
};

Table& Timers() {
  static Table table;
  return table;
}

void Deliver(HWND hwnd, UINT_PTR id) {
  detail::Window* window = detail::Window::FromHandle(hwnd);
  if (auto* frame = dynamic_cast<detail::DialogFrame*>(window)) frame->dialog.WindowProc(WM_TIMER, id, 0);
}

void Arm(Timer& timer) {
  timer.due = Timers().now + timer.interval;
  if (Timers().virtual_clock) {
    timer.qt.reset();
    return;
  }
  EnsureApplication();
  timer.qt = std::make_unique<QTimer>();
  const HWND hwnd = timer.hwnd;
  const UINT_PTR id = timer.id;
  QObject::connect(timer.qt.get(), &QTimer::timeout, [hwnd, id] { Deliver(hwnd, id); });
  timer.qt->start(static_cast<int>(std::min<UINT>(timer.interval, 0x7FFFFFFF)));
}

std::list<Timer>::iterator Find(HWND hwnd, UINT_PTR id) {
  auto& timers = Timers().timers;
  return std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

// The timer with the earliest tick not later than `limit` (first started wins ties).
Timer* NextDue(uint64_t limit) {
  Timer* next = nullptr;
  for (Timer& timer : Timers().timers)
    if (timer.due <= limit && (!next || timer.due < next->due)) next = &timer;
  return next;
}

void Fire(Timer& timer) {
  Timers().now = std::max(Timers().now, timer.due);
  timer.due = Timers().now + std::max<UINT>(timer.interval, 1);
  Deliver(timer.hwnd, timer.id);
  ProcessPendingEvents();
}

}  // namespace

UINT_PTR StartWindowTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms) {
  if (!detail::Window::FromHandle(hwnd)) return 0;
  auto it = Find(hwnd, id);
  if (it == Timers().timers.end()) it = Timers().timers.insert(Timers().timers.end(), Timer{hwnd, id, elapse_ms, 0, nullptr});
  it->interval = elapse_ms;
  Arm(*it);
  return id;
}

bool StopWindowTimer(HWND hwnd, UINT_PTR id) {
  auto it = Find(hwnd, id);
  if (it == Timers().timers.end()) return false;
  Timers().timers.erase(it);
  return true;
}

std::vector<TimerInfo> ActiveTimers() {
  std::vector<TimerInfo> timers;
  for (const Timer& t : Timers().timers) timers.push_back({t.hwnd, t.id, t.interval, t.due});
  return timers;
}

void UseVirtualTimers(bool on) {
  if (Timers().virtual_clock == on) return;
  Timers().virtual_clock = on;
  for (Timer& timer : Timers().timers) Arm(timer);
}

bool VirtualTimersInUse() { return Timers().virtual_clock; }
uint64_t VirtualNow() { return Timers().now; }

int AdvanceTimers(uint64_t ms) {
  const uint64_t target = Timers().now + ms;
  int fired = 0;
  while (Timer* timer = NextDue(target)) {
    Fire(*timer);
    ++fired;
  }
  Timers().now = target;
  return fired;
}

int FireNextTimers(int n) {
  int fired = 0;
  for (; fired < n; ++fired) {
    Timer* timer = NextDue(UINT64_MAX);
    if (!timer) break;
    Fire(*timer);
  }
  return fired;
}

namespace detail {

void KillWindowTimers(HWND hwnd) {
  Timers().timers.remove_if([&](const Timer& t) { return t.hwnd == hwnd; });
}

}  // namespace detail
}  // namespace platform::ui
