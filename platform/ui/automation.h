// Automation: a program run from a script (AUTOMATION.md beside this file). Every
// program calls StartAutomation() in main before its first dialog; with the variable
// SCANUTIL_AUTOMATION naming a script file, the steps then drive the dialogs, answer
// the message boxes and file dialogs, move the window timers (virtual time), and write
// screenshots and JSON dumps.
//
//   int main(int argc, char** argv) {
//     platform::ui::InitApplication(argv[0]);
//     const bool automated = platform::ui::StartAutomation();
//     platform::ui::InstallInteractivePrompter();
//     ... run the program's dialogs ...
//     return automated ? platform::ui::AutomationExitCode() : exit_code;
//   }
#pragma once
#include <string>
#include <vector>

namespace platform::ui {

constexpr const char* kAutomationVariable = "SCANUTIL_AUTOMATION";

// Reads the script named by SCANUTIL_AUTOMATION; false when the variable is unset or
// empty (nothing changes then).
bool StartAutomation();
// Runs the given script text (name is used in messages).
void StartAutomationScript(const std::string& text, const std::string& name);
// Ends automation and restores the prompter, file dialog and timers (tests).
void StopAutomation();

bool AutomationActive();
// True once the last step ran or the script failed.
bool AutomationFinished();
// The faults met ("script:4: no control 1099 in dialog 161"); empty when all went well.
std::vector<std::string> AutomationErrors();
// 0 when the script ran without fault, 3 otherwise; what main returns under automation.
int AutomationExitCode();

}  // namespace platform::ui
