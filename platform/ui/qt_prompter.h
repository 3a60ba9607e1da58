// The interactive message box: a Qt message box captioned with the application name,
// with the box type's buttons and icon. The application installs it when it runs with
// a user (not in tests, not under automation).
#pragma once
#include "platform/message_box.h"

namespace platform::ui {

class QtPrompter : public Prompter {
 public:
  int Show(const MessageBoxRequest& request) override;
};

// Installs a process-wide QtPrompter (InstallPrompter); returns the one it replaced.
Prompter* InstallQtPrompter();

}  // namespace platform::ui
