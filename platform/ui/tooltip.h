// Tooltips of a dialog's controls: the text shows while the pointer rests on the
// control, as long as the tooltip control is active.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/wnd.h"

namespace platform::ui {

class CToolTipCtrl {
 public:
  bool Create(CWnd* parent);
  // False when the control names no window or the tooltip control was not created.
  bool AddTool(CWnd* control, const std::string& text);
  void Activate(bool active);

 private:
  struct Tool {
    CWnd* control;
    std::string text;
  };
  void Show(const Tool& tool) const;

  CWnd* parent_ = nullptr;
  bool active_ = true;
  std::vector<Tool> tools_;
};

}  // namespace platform::ui
