// errview: the error display the scanner indicator starts with an error's data.
#include "errview/errview_app.h"
#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_prompter.h"

int main(int argc, char** argv) {
  platform::ui::InitApplication(argc > 0 ? argv[0] : nullptr);
  const bool automated = platform::ui::StartAutomation();
  platform::ui::InstallInteractivePrompter();
  errview::CerrviewApp app;
  app.InitInstance(argc, argv);
  const int exit_code = app.ExitInstance();
  return automated ? platform::ui::AutomationExitCode() : exit_code;
}
