#include "platform/system.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::system {
namespace {

// 0 real answer, 1 forced false, 2 forced true
std::atomic<int> forced{0};

std::atomic<EXECUTION_STATE> last_execution_state{0};
std::atomic<int> execution_state_requests{0};

struct Listener {
  ListenerId id = 0;
  SystemMessageListener call;
  bool removed = false;
  int running = 0;  // calls in progress, on any thread
};

struct Listeners {
  std::mutex mutex;
  std::condition_variable finished;
  std::vector<std::shared_ptr<Listener>> list;
  ListenerId next_id = 1;
};

Listeners& listeners() {
  static Listeners instance;
  return instance;
}

// The listeners this thread is calling at the moment, innermost last.
thread_local std::vector<const Listener*> calling;

int CallsOnThisThread(const Listener* listener) {
  return static_cast<int>(std::count(calling.begin(), calling.end(), listener));
}

// Calls one listener unless it was removed meanwhile; nullopt when it was not called.
std::optional<LRESULT> Deliver(const std::shared_ptr<Listener>& listener, UINT message, WPARAM wparam, LPARAM lparam) {
  Listeners& l = listeners();
  {
    std::lock_guard<std::mutex> guard(l.mutex);
    if (listener->removed) return std::nullopt;
    ++listener->running;
  }
  calling.push_back(listener.get());
  const LRESULT answer = listener->call(message, wparam, lparam);
  calling.pop_back();
  {
    std::lock_guard<std::mutex> guard(l.mutex);
    --listener->running;
  }
  l.finished.notify_all();
  return answer;
}

bool IsSuspendQuery(UINT message, WPARAM wparam) {
  return message == WM_POWERBROADCAST && wparam == PBT_APMQUERYSUSPEND;
}

}  // namespace

std::optional<bool> IsWow64Process() {
  switch (forced.load()) {
    case 1: return false;
    case 2: return true;
    default: return false;
  }
}

void ForceWow64ForTest(std::optional<bool> answer) { forced.store(!answer ? 0 : (*answer ? 2 : 1)); }

EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) {
  last_execution_state.store(flags);
  ++execution_state_requests;
  return 0;
}

EXECUTION_STATE LastExecutionStateRequest() { return last_execution_state.load(); }
int ExecutionStateRequests() { return execution_state_requests.load(); }

void ResetExecutionStateForTest() {
  last_execution_state.store(0);
  execution_state_requests.store(0);
}

ListenerId AddSystemMessageListener(SystemMessageListener listener) {
  Listeners& l = listeners();
  std::lock_guard<std::mutex> guard(l.mutex);
  auto entry = std::make_shared<Listener>();
  entry->id = l.next_id++;
  entry->call = std::move(listener);
  l.list.push_back(entry);
  return entry->id;
}

void RemoveSystemMessageListener(ListenerId id) {
  Listeners& l = listeners();
  std::unique_lock<std::mutex> lock(l.mutex);
  auto it = std::find_if(l.list.begin(), l.list.end(), [id](const auto& entry) { return entry->id == id; });
  if (it == l.list.end()) return;
  std::shared_ptr<Listener> entry = *it;
  entry->removed = true;
  l.list.erase(it);
  const Listener* raw = entry.get();
  l.finished.wait(lock, [&] { return entry->running == CallsOnThisThread(raw); });
}

long BroadcastSystemMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  std::vector<std::shared_ptr<Listener>> snapshot;
  {
    Listeners& l = listeners();
    std::lock_guard<std::mutex> guard(l.mutex);
    snapshot = l.list;
  }
  const bool query = IsSuspendQuery(message, wparam);
  for (const auto& listener : snapshot) {
    const std::optional<LRESULT> answer = Deliver(listener, message, wparam, lparam);
    if (query && answer == BROADCAST_QUERY_DENY) return 0;
  }
  return 1;
}

void BroadcastDeviceChange() { BroadcastSystemMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0); }

bool BroadcastPowerEvent(WPARAM event) { return BroadcastSystemMessage(WM_POWERBROADCAST, event, 0) != 0; }

}  // namespace platform::system
