// The interactive message box: a Qt message box captioned with the application name,
// with the box type's buttons and icon. The application installs it when it runs with
// a user (not in tests, not under automation).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace platform::ui {

class QtPrompter : public Prompter {
 public:
  int Show(const MessageBoxRequest& request) override;
};

// Installs a process-wide QtPrompter (InstallPrompter); returns the one it replaced.
Prompter* InstallQtPrompter();
// Installs the Qt prompter when a user is there: no automation script runs and there is
// a display. Call it after StartAutomation. True when it installed it.
bool InstallInteractivePrompter();

// The Qt message box on the screen, for tests: what it shows, and a button press.
struct QtBoxContents {
  std::string caption;
  std::string text;
  std::string icon;  // "information", "warning", "critical", "question" or ""
  std::vector<std::string> buttons;
};
std::optional<QtBoxContents> OpenQtMessageBox();
// Presses the button that answers `answer`; false when no box is open or it has none.
bool PressQtMessageBoxButton(int answer);

}  // namespace platform::ui
