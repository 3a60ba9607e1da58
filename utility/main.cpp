// scanutil: the User Utility. With SCANUTIL_SCENARIO naming a scenario file, the
// emulated scanner bus of that file stands in for the ASPI manager and the
// still-image service; what the utility changes in its scanners is kept in the
// scenario's state file for the next run. Without one, the ASPI manager is the
// kernel's SCSI generic driver.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "emulator/scenario.h"
#include "emulator/state_file.h"
#include "platform/aspi/sg_aspi.h"
#include "platform/file_io.h"
#include "platform/hardware_keys.h"
#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/qt_prompter.h"
#include "utility/service_utility_app.h"

namespace {

void Warn(const char* path, const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) std::fprintf(stderr, "scanutil: %s: %s\n", path, warning.c_str());
}

// The scenario's bus, installed, with the state a previous run left; null without one.
std::shared_ptr<emulator::Bus> InstallScenario(const char* path) {
  if (!path || !*path) return nullptr;
  emulator::Scenario scenario = emulator::LoadScenarioFile(path);
  Warn(path, scenario.warnings);
  if (const auto state = platform::files::ReadFileOrEmpty(emulator::StateFilePath(path)); state && !state->empty()) {
    std::vector<std::string> warnings;
    emulator::ApplyStateFile(*state, *scenario.bus, warnings);
    Warn(path, warnings);
  }
  emulator::InstallDriverKeys(*scenario.bus);
  emulator::Install(scenario.bus);
  return scenario.bus;
}

}  // namespace

int main(int argc, char** argv) {
  platform::ProjectHardwareKeys();
  const char* scenario = std::getenv("SCANUTIL_SCENARIO");
  const std::shared_ptr<emulator::Bus> bus = InstallScenario(scenario);
  if (!bus) platform::aspi::InstallScsiGenericAspi();
  platform::ui::InitApplication(argc > 0 ? argv[0] : nullptr);
  const bool automated = platform::ui::StartAutomation();
  platform::ui::InstallInteractivePrompter();
  utility::CServiceUtilityApp app;
  app.InitInstance(argc, argv);
  const int exit_code = app.ExitInstance();
  if (bus && !emulator::SaveStateFile(*bus, scenario))
    std::fprintf(stderr, "scanutil: %s: the state file could not be written\n", scenario);
  return automated ? platform::ui::AutomationExitCode() : exit_code;
}
