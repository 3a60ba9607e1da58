// Kernel-object handles: events in-process, and the table other objects
// (named mutexes) register in.
#pragma once
#include <memory>

#include "platform/win_types.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Waits until the object is signalled or ms pass (INFINITE: no limit), through the clock.
  virtual DWORD Wait(DWORD ms) = 0;
};

// Registers an object and returns its handle (small, non-null values that fit in 32 bits).
HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
// Returns false (ERROR_INVALID_HANDLE) for an unknown handle.
bool CloseHandle(HANDLE handle);

// Unnamed events. Returns nullptr only when the object cannot be created.
HANDLE CreateEvent(bool manual_reset, bool initial_state);
// The next CreateEvent of any thread fails with that error (0: none fails).
void FailNextCreateEventForTest(DWORD error);
bool SetEvent(HANDLE event);
bool ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);

// Handles still open in this process, for leak checks in tests.
size_t OpenHandleCount();

}  // namespace platform
