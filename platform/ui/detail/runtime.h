// Process-wide state of the framework shared between its parts.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {
class CDialog;
}

namespace platform::ui::detail {

class DialogFrame;

// A running nested loop: a dialog's modal loop or an automation prompt's wait.
struct LoopFrame {
  DialogFrame* dialog = nullptr;  // null for a prompt
  int step_depth = 0;             // automation steps running when the loop started
};

struct Runtime {
  std::optional<bool> unattended_override;
  bool automation_active = false;
  int executing_steps = 0;  // automation steps running, innermost last
  std::vector<LoopFrame> loops;
  std::vector<CDialog*> open_dialogs;
  std::vector<std::string> unattended_dialogs;
  // Called whenever a loop starts or ends (the automation runner resumes then).
  std::function<void()> on_loops_changed;
};

Runtime& State();
void PushLoop(LoopFrame frame);
void PopLoop();

}  // namespace platform::ui::detail
