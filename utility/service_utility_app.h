// The utility's application object: language, command line, device library.
#pragma once
#include <string>

#include "resources/resources.h"

namespace utility {

class CServiceUtilityApp {
 public:
  // The start sequence; always false, so the framework runs no message loop after it.
  bool InitInstance(int argc, const char* const* argv);
  // Closes the device library; the process exit code.
  int ExitInstance();

  int indicator_mode() const { return indicator_mode_; }
  const resources::Resources& resources() const { return resources_; }
  const std::string& app_name() const { return app_name_; }

 private:
  resources::Resources resources_;
  int indicator_mode_ = 0;
  std::string app_name_;
};

}  // namespace utility
