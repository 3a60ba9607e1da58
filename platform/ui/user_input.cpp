#include "platform/ui/user_input.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include "platform/ui/detail/window.h"

namespace platform::ui {
namespace {

detail::Control* ControlOf(CWnd* wnd) {
  return wnd ? dynamic_cast<detail::Control*>(detail::Window::FromHandle(wnd->GetSafeHwnd())) : nullptr;
}

detail::DialogFrame* FrameOf(CDialog& dialog) {
  return dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle(dialog.GetSafeHwnd()));
}

int QtKey(UINT vk) {
  switch (vk) {
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_TAB: return Qt::Key_Tab;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    default: return static_cast<int>(vk);
  }
}

}  // namespace

bool Click(CWnd* control) {
  detail::Control* inner = ControlOf(control);
  return inner && inner->UserClick();
}

bool Focus(CWnd* control) {
  detail::Control* inner = ControlOf(control);
  if (!inner || !inner->widget()->isVisible() || !inner->widget()->isEnabled()) return false;
  if (inner->widget()->focusPolicy() == Qt::NoFocus) return false;
  control->SetFocus();
  return true;
}

bool Type(CWnd* control, const std::string& text) {
  detail::Control* inner = ControlOf(control);
  return inner && inner->UserType(text);
}

bool TypeKeys(CWnd* control, const std::string& text) {
  detail::Control* inner = ControlOf(control);
  if (!inner || !inner->widget()->isVisible() || !inner->widget()->isEnabled()) return false;
  QWidget* target = inner->widget();
  if (auto* focus = target->focusProxy()) target = focus;
  for (const QChar c : QString::fromStdString(text)) {
    const int key = c.isLetterOrNumber() ? c.toUpper().unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
  }
  return true;
}

bool Select(CWnd* control, int index) {
  detail::Control* inner = ControlOf(control);
  return inner && inner->UserSelect(index);
}

bool Spin(CWnd* control, int direction) {
  detail::Control* inner = ControlOf(control);
  return inner && inner->UserSpin(direction > 0 ? +1 : -1);
}

bool PressKey(CDialog& dialog, UINT vk) {
  detail::DialogFrame* frame = FrameOf(dialog);
  if (!frame || frame->ended) return false;
  QWidget* target = frame->widget()->focusWidget();
  if (!target) target = frame->widget();
  QKeyEvent press(QEvent::KeyPress, QtKey(vk), Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, QtKey(vk), Qt::NoModifier);
  if (frame == FrameOf(dialog) && !frame->ended) QApplication::sendEvent(target, &release);
  return true;
}

bool CloseBox(CDialog& dialog) {
  detail::DialogFrame* frame = FrameOf(dialog);
  if (!frame || frame->ended) return false;
  QCloseEvent event;
  QApplication::sendEvent(frame->widget(), &event);
  return true;
}

std::vector<std::string> OpenContextMenu(CDialog& dialog) {
  detail::DialogFrame* frame = FrameOf(dialog);
  if (!frame) return {};
  const QPoint local(1, 1);
  QContextMenuEvent event(QContextMenuEvent::Mouse, local, frame->widget()->mapToGlobal(local));
  QApplication::sendEvent(frame->widget(), &event);
  std::vector<std::string> items;
  for (QMenu* menu : frame->widget()->findChildren<QMenu*>()) {
    if (!menu->isVisible()) continue;
    for (QAction* action : menu->actions()) items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
  }
  return items;
}

bool ChooseContextMenuItem(CDialog& dialog, UINT id) {
  detail::DialogFrame* frame = FrameOf(dialog);
  if (!frame) return false;
  for (QMenu* menu : frame->widget()->findChildren<QMenu*>()) {
    if (!menu->isVisible()) continue;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator() || action->data().toUInt() != id) continue;
      if (!action->isEnabled()) return false;
      action->trigger();
      return true;
    }
  }
  return false;
}

}  // namespace platform::ui
