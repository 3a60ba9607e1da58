// errview's command line: up to six positional parameters (error type, error code,
// message 1, message 2, model name, illustration list); further ones are ignored.
#pragma once
#include <string>
#include <string_view>

#include "errview/display_inputs.h"
#include "platform/command_line.h"

namespace errview {

// One pair of enclosing double quotes removed, backslash + 'r' to CR and backslash + 'n'
// to LF; every other byte (the bytes of multi-byte characters included) copied as it is.
std::string DecodeParameter(std::string_view text);

class CUCommandLineInfo : public platform::CCommandLineInfo {
 public:
  void ParseParam(std::string_view param, bool flag, bool last) override;

  DisplayInputs inputs;
  int count = 0;  // parameters seen
};

}  // namespace errview
