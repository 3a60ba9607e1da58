#include "platform/ui/tooltip.h"

#include <QWidget>

#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/window.h"

namespace platform::ui {

bool CToolTipCtrl::Create(CWnd* parent) {
  parent_ = parent && parent->GetSafeHwnd() ? parent : nullptr;
  return parent_ != nullptr;
}

bool CToolTipCtrl::AddTool(CWnd* control, const std::string& text) {
  if (!parent_ || !control || !control->GetSafeHwnd()) return false;
  tools_.push_back({control, text});
  Show(tools_.back());
  return true;
}

void CToolTipCtrl::Activate(bool active) {
  active_ = active;
  for (const Tool& tool : tools_) Show(tool);
}

void CToolTipCtrl::Show(const Tool& tool) const {
  detail::Window* window = detail::Window::FromHandle(tool.control->GetSafeHwnd());
  if (!window) return;
  window->tooltip = active_ ? tool.text : std::string();
  window->widget()->setToolTip(detail::ToQt(window->tooltip));
}

}  // namespace platform::ui
