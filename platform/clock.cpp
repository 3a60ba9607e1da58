#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

class RealClock : public Clock {
 public:
  uint64_t Now() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  void Sleep(DWORD ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD ms,
                 const std::function<bool()>& ready) override {
    if (ms == INFINITE) {
      cv.wait(lock, ready);
      return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(ms), ready);
  }
};

RealClock real_clock;
std::atomic<Clock*> current{&real_clock};

}  // namespace

Clock& GetClock() { return *current.load(); }
void SetClock(Clock* clock) { current.store(clock ? clock : &real_clock); }

uint64_t FakeClock::Now() {
  std::lock_guard<std::mutex> guard(mutex_);
  return now_;
}

void FakeClock::Advance(uint64_t ms) {
  std::lock_guard<std::mutex> guard(mutex_);
  now_ += ms;
}

void FakeClock::Sleep(DWORD ms) { Advance(ms); }

bool FakeClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD ms,
                          const std::function<bool()>& ready) {
  if (ms == INFINITE) {
    cv.wait(lock, ready);
    return true;
  }
  if (ready()) return true;
  Advance(ms);
  return ready();
}

DWORD GetTickCount() { return static_cast<DWORD>(GetClock().Now()); }
void Sleep(DWORD ms) { GetClock().Sleep(ms); }

}  // namespace platform
