// The thread's window message queue as long procedures see it: take one pending
// message in a number range, translate and dispatch it. The dialog framework
// installs the real queue; without one nothing is ever pending.
#pragma once
#include <cstdint>

#include "platform/win_types.h"

namespace platform {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using HWND = void*;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

class MessageQueue {
 public:
  virtual ~MessageQueue() = default;
  // The first pending message with min <= number <= max, removed when remove is set.
  virtual bool Peek(MSG& msg, UINT min, UINT max, bool remove) = 0;
  virtual void Translate(const MSG& msg) = 0;
  virtual void Dispatch(const MSG& msg) = 0;
};

// Installs the thread's queue (nullptr: none). The caller keeps ownership.
void SetMessageQueue(MessageQueue* queue);

bool PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
bool TranslateMessage(const MSG* msg);
void DispatchMessage(const MSG* msg);

}  // namespace platform
