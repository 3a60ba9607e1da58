#include "platform/ui/posted_messages.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <mutex>

#include "platform/message_pump.h"
#include "platform/ui/application.h"
#include "platform/ui/detail/hooks.h"
#include "platform/ui/desktop.h"
#include "platform/ui/detail/window.h"

namespace platform::ui {
namespace {

struct Posted {
  std::mutex mutex;
  std::deque<MSG> messages;
};

Posted& Queue() {
  static Posted posted;
  return posted;
}

LRESULT Deliver(const MSG& msg) {
  auto* frame = dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle(msg.hwnd));
  return frame ? frame->dialog.WindowProc(msg.message, msg.wParam, msg.lParam) : 0;
}

bool Take(MSG& msg, UINT min, UINT max, bool remove) {
  std::lock_guard lock(Queue().mutex);
  auto& messages = Queue().messages;
  const bool any = min == 0 && max == 0;
  auto it = std::find_if(messages.begin(), messages.end(), [&](const MSG& m) { return any || (m.message >= min && m.message <= max); });
  if (it == messages.end()) return false;
  msg = *it;
  if (remove) messages.erase(it);
  return true;
}

// Delivers what was posted until now.
void DeliverPosted() {
  size_t count;
  {
    std::lock_guard lock(Queue().mutex);
    count = Queue().messages.size();
  }
  MSG msg;
  while (count-- > 0 && Take(msg, 0, 0, true)) Deliver(msg);
}

class QtMessageQueue : public MessageQueue {
 public:
  bool Peek(MSG& msg, UINT min, UINT max, bool remove) override {
    ProcessPendingEvents();
    return Take(msg, min, max, remove);
  }
  void Translate(const MSG&) override {}
  void Dispatch(const MSG& msg) override { Deliver(msg); }
};

}  // namespace

bool PostDialogMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle(hwnd))) return false;
  detail::QueueMessage(hwnd, message, wparam, lparam);
  return true;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) { return Deliver(MSG{hwnd, message, wparam, lparam}); }

namespace detail {

void InstallMessageQueue() {
  static QtMessageQueue queue;
  platform::SetMessageQueue(&queue);
}

void QueueMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  {
    std::lock_guard lock(Queue().mutex);
    Queue().messages.push_back(MSG{hwnd, message, wparam, lparam});
  }
  if (QCoreApplication* app = QCoreApplication::instance()) QMetaObject::invokeMethod(app, &DeliverPosted, Qt::QueuedConnection);
}

void QueueRequest(HWND hwnd, platform::WindowRequest request) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(
      app,
      [hwnd, request] {
        auto* frame = dynamic_cast<DialogFrame*>(Window::FromHandle(hwnd));
        if (!frame) return;
        // The last active pop-up stands for its owner.
        DialogFrame* target = frame;
        for (CDialog* open : OpenDialogs())
          if (auto* other = dynamic_cast<DialogFrame*>(Window::FromHandle(open->GetSafeHwnd())))
            for (DialogFrame* up = other->owner; up; up = up->owner)
              if (up == frame) target = other;
        if (request == platform::WindowRequest::kRestore && target->widget()->isMinimized()) target->widget()->showNormal();
        if (request == platform::WindowRequest::kForeground) BringToFront(*target);
      },
      Qt::QueuedConnection);
}

void DropPostedMessages(HWND hwnd) {
  std::lock_guard lock(Queue().mutex);
  std::erase_if(Queue().messages, [&](const MSG& m) { return m.hwnd == hwnd; });
}

}  // namespace detail
}  // namespace platform::ui
