// The automation script format (AUTOMATION.md): one step a line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

struct AutomationStep {
  int line = 0;
  std::string verb;               // lower case
  std::vector<std::string> args;  // words; for "type" the second is the text
};

struct AutomationScript {
  std::vector<AutomationStep> steps;
  std::vector<std::string> errors;  // "line 3: unknown step 'clik'"
};

// Any bytes are accepted; a malformed line is reported and left out.
AutomationScript ParseAutomationScript(std::string_view text);

}  // namespace platform::ui
