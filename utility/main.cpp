// scanutil: the User Utility. With SCANUTIL_SCENARIO naming a scenario file, the
// emulated scanner bus of that file stands in for the ASPI manager and the
// still-image service.
#include <cstdio>
#include <cstdlib>

#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "emulator/scenario.h"
#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_prompter.h"
#include "utility/service_utility_app.h"

namespace {

void InstallScenario() {
  const char* path = std::getenv("SCANUTIL_SCENARIO");
  if (!path || !*path) return;
  emulator::Scenario scenario = emulator::LoadScenarioFile(path);
  for (const std::string& warning : scenario.warnings) std::fprintf(stderr, "scanutil: %s: %s\n", path, warning.c_str());
  emulator::InstallDriverKeys(*scenario.bus);
  emulator::Install(scenario.bus);
}

}  // namespace

int main(int argc, char** argv) {
  InstallScenario();
  platform::ui::InitApplication(argc, argv);
  const bool automated = platform::ui::StartAutomation();
  platform::ui::InstallInteractivePrompter();
  utility::CServiceUtilityApp app;
  app.InitInstance(argc, argv);
  const int exit_code = app.ExitInstance();
  return automated ? platform::ui::AutomationExitCode() : exit_code;
}
