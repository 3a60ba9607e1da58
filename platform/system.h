// System information the program logic asks for, the execution state, and the
// system's broadcasts of device-change and power events to every top-level window.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/message_pump.h"
#include "platform/win_types.h"

namespace platform::system {

// The answer of kernel32's IsWow64Process for this process; nullopt when the entry
// is absent. On Linux the process is never WOW64 unless a test forces it.
std::optional<bool> IsWow64Process();
void ForceWow64ForTest(std::optional<bool> answer);

// Execution state. Keep-awake is never granted on this system: every request is
// recorded and answered with 0, the failure answer, and nothing keeps the machine
// awake.
using EXECUTION_STATE = DWORD;
constexpr EXECUTION_STATE ES_SYSTEM_REQUIRED = 0x00000001;
constexpr EXECUTION_STATE ES_DISPLAY_REQUIRED = 0x00000002;
constexpr EXECUTION_STATE ES_CONTINUOUS = 0x80000000;

EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags);
// What the last request asked for (0 when none since the reset), and how many requests
// there were; for tests.
EXECUTION_STATE LastExecutionStateRequest();
int ExecutionStateRequests();
void ResetExecutionStateForTest();

// System broadcasts, with the numbers Windows gives them.
using LRESULT = intptr_t;
constexpr UINT WM_DEVICECHANGE = 0x0219;
constexpr WPARAM DBT_DEVNODES_CHANGED = 0x0007;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr WPARAM PBT_APMQUERYSUSPEND = 0x0000;
constexpr WPARAM PBT_APMSUSPEND = 0x0004;
constexpr WPARAM PBT_APMRESUMESUSPEND = 0x0007;
constexpr LRESULT BROADCAST_QUERY_DENY = 0x424D5144;

// A receiver of system broadcasts, answering as a window procedure would. Listeners
// are called on the broadcasting thread, whichever that is (the emulator's, a test's,
// later a udev or logind watcher's), so a listener must hand the message over to its
// own thread itself or be safe to run on any thread. A listener may add and remove
// listeners, itself included, while it runs.
using SystemMessageListener = std::function<LRESULT(UINT message, WPARAM wparam, LPARAM lparam)>;
using ListenerId = uint64_t;

// Listeners are called in the order they were added.
ListenerId AddSystemMessageListener(SystemMessageListener listener);
// After this returns the listener is never called again, and no call of it is still
// running on another thread (a call on this thread, the one removing it, may be).
// Unknown ids are ignored.
void RemoveSystemMessageListener(ListenerId id);

// A listener for the lifetime of the object.
class ScopedSystemMessageListener {
 public:
  explicit ScopedSystemMessageListener(SystemMessageListener listener)
      : id_(AddSystemMessageListener(std::move(listener))) {}
  ~ScopedSystemMessageListener() { RemoveSystemMessageListener(id_); }
  ScopedSystemMessageListener(const ScopedSystemMessageListener&) = delete;
  ScopedSystemMessageListener& operator=(const ScopedSystemMessageListener&) = delete;

 private:
  ListenerId id_;
};

// Delivers a message to every listener and answers 1. A suspend query
// (WM_POWERBROADCAST with PBT_APMQUERYSUSPEND) asks one listener at a time, as a
// query broadcast does: the first BROADCAST_QUERY_DENY ends it, the listeners after
// it are not asked, and the answer is 0.
long BroadcastSystemMessage(UINT message, WPARAM wparam, LPARAM lparam);

// WM_DEVICECHANGE with DBT_DEVNODES_CHANGED: a device came or went.
void BroadcastDeviceChange();
// WM_POWERBROADCAST with the event; false only when a suspend query was denied.
bool BroadcastPowerEvent(WPARAM event);

}  // namespace platform::system
