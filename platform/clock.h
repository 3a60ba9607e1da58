// Sleeping, timed waits and the millisecond tick, through one replaceable clock
// so that tests never sleep for real.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/win_types.h"

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary origin.
  virtual uint64_t Now() = 0;
  virtual void Sleep(DWORD ms) = 0;
  // Waits on cv (lock held) until ready() or ms have passed; INFINITE waits for ready().
  // Returns ready().
  virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD ms,
                         const std::function<bool()>& ready) = 0;
};

// The process-wide clock: the real one unless a test installed another.
Clock& GetClock();
// Installs a clock (nullptr restores the real one). Not thread-safe: tests call it
// before anything waits.
void SetClock(Clock* clock);

// Time never passes unless something sleeps or times out: a sleep or an unsatisfied
// finite wait moves the time forward by its length at once.
class FakeClock : public Clock {
 public:
  uint64_t Now() override;
  void Sleep(DWORD ms) override;
  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD ms,
                 const std::function<bool()>& ready) override;
  void Advance(uint64_t ms);

 private:
  std::mutex mutex_;
  uint64_t now_ = 1000;
};

// Installs a FakeClock for the lifetime of the object.
class ScopedFakeClock {
 public:
  ScopedFakeClock() { SetClock(&clock_); }
  ~ScopedFakeClock() { SetClock(nullptr); }
  FakeClock& operator*() { return clock_; }
  FakeClock* operator->() { return &clock_; }

 private:
  FakeClock clock_;
};

DWORD GetTickCount();
void Sleep(DWORD ms);

}  // namespace platform
