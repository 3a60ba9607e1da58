#include "platform/handles.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/clock.h"

namespace platform {
namespace {

class Event : public KernelObject {
 public:
  Event(bool manual_reset, bool initial) : manual_reset_(manual_reset), signalled_(initial) {}

  void Set() {
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = true;
    cv_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = false;
  }
  DWORD Wait(DWORD ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!GetClock().WaitUntil(lock, cv_, ms, [this] { return signalled_; })) return WAIT_TIMEOUT;
    if (!manual_reset_) signalled_ = false;
    return WAIT_OBJECT_0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  const bool manual_reset_;
  bool signalled_;
};

struct Table {
  std::mutex mutex;
  std::map<uintptr_t, std::shared_ptr<KernelObject>> objects;
  uintptr_t next = 0x100;
};

Table& table() {
  static Table* t = new Table;  // outlives every static destructor that may close handles
  return *t;
}

std::shared_ptr<Event> LookupEvent(HANDLE handle) {
  auto event = std::dynamic_pointer_cast<Event>(LookupHandle(handle));
  if (!event) SetLastError(ERROR_INVALID_HANDLE);
  return event;
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object) {
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.mutex);
  const uintptr_t value = t.next;
  t.next += 4;
  if (t.next > 0x7FFFFFF0) t.next = 0x100;  // stay within 31 bits, as handles of a 32-bit process
  t.objects[value] = std::move(object);
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool CloseHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> doomed;  // destroyed outside the table lock
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

size_t OpenHandleCount() {
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.mutex);
  return t.objects.size();
}

namespace {
std::atomic<DWORD> create_event_failure{0};
}

void FailNextCreateEventForTest(DWORD error) { create_event_failure.store(error); }

HANDLE CreateEvent(bool manual_reset, bool initial_state) {
  if (const DWORD error = create_event_failure.exchange(0)) {
    SetLastError(error);
    return nullptr;
  }
  return RegisterHandle(std::make_shared<Event>(manual_reset, initial_state));
}

bool SetEvent(HANDLE event) {
  auto e = LookupEvent(event);
  if (e) e->Set();
  return e != nullptr;
}

bool ResetEvent(HANDLE event) {
  auto e = LookupEvent(event);
  if (e) e->Reset();
  return e != nullptr;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
  auto object = LookupHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return object->Wait(ms);
}

namespace {
thread_local DWORD last_error = 0;
}
DWORD GetLastError() { return last_error; }
void SetLastError(DWORD error) { last_error = error; }

}  // namespace platform
