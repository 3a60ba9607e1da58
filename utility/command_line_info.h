// scanutil's command line: a parameter beginning with "Indicator" selects the
// display-only start of the scanner indicator.
#pragma once
#include "platform/command_line.h"

namespace utility {

class CUCommandLineInfo : public platform::CCommandLineInfo {
 public:
  void ParseParam(std::string_view param, bool flag, bool last) override;
  int indicator_mode = 0;
};

}  // namespace utility
