#include "utility/service_utility_app.h"

#include "device/device_library.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "resources/app_resources.h"
#include "resources/builtin_scripts.h"
#include "resources/language_files.h"
#include "utility/command_line_info.h"

namespace utility {

namespace {
constexpr int kIdsAppName = 3141;
}

bool CServiceUtilityApp::InitInstance(int argc, const char* const* argv) {
  resources_ = resources::LoadProgramResources(resources::ScanutilScript(), platform::paths::ProgramFolder());
  resources::SetAppResources(resources_);

  CUCommandLineInfo command_line;
  platform::ParseCommandLine(argc, argv, command_line);
  indicator_mode_ = command_line.indicator_mode;

  device::OpenDeviceLibrary(device::kOpenAspi | device::kOpenStillImage);
  app_name_ = resources_.LoadString(kIdsAppName);
  platform::SetAppName(app_name_);
  return false;
}

int CServiceUtilityApp::ExitInstance() {
  device::CloseDeviceLibrary();
  return 0;
}

}  // namespace utility
