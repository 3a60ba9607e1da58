// The utility's application object: language, command line, single instance, device
// library, application name, then the main window.
#pragma once
#include <string>

#include "platform/win_types.h"
#include "resources/resources.h"

namespace utility {

// The properties the main window carries, by how the program was started.
extern const char* const kNormalWindowProperty;     // without the Indicator switch
extern const char* const kIndicatorWindowProperty;  // with it

class CServiceUtilityApp {
 public:
  // The start sequence; always false, so the framework runs no message loop after it.
  bool InitInstance(int argc, const char* const* argv);
  // Closes the device library and the instance mutex; the process exit code.
  int ExitInstance();

  int indicator_mode() const { return indicator_mode_; }
  const resources::Resources& resources() const { return resources_; }
  // Empty when the start stopped before naming the application.
  const std::string& app_name() const { return app_name_; }
  // The mutex that marks this instance; null when none is held.
  platform::HANDLE instance_mutex() const { return instance_mutex_; }

 private:
  // True when this instance may run; it then holds the instance mutex.
  bool CheckSingleInstance();

  resources::Resources resources_;
  int indicator_mode_ = 0;
  std::string app_name_;
  platform::HANDLE instance_mutex_ = nullptr;
};

}  // namespace utility
