#include "platform/message_pump.h"

namespace platform {
namespace {
thread_local MessageQueue* t_queue = nullptr;
}

void SetMessageQueue(MessageQueue* queue) { t_queue = queue; }

bool PeekMessage(MSG* msg, HWND, UINT min, UINT max, UINT remove) {
  return t_queue && msg && t_queue->Peek(*msg, min, max, (remove & PM_REMOVE) != 0);
}

bool TranslateMessage(const MSG* msg) {
  if (!t_queue || !msg) return false;
  t_queue->Translate(*msg);
  return true;
}

void DispatchMessage(const MSG* msg) {
  if (t_queue && msg) t_queue->Dispatch(*msg);
}

}  // namespace platform
