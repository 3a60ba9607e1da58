// Message boxes: every box of every program goes through AfxMessageBox, captioned
// with the application name and answered by the installed prompter.
#pragma once
#include <string>

#include "platform/win_types.h"

namespace platform {

// Buttons (low nibble of the type).
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  UINT type = MB_OK;
};

// Shows a box and returns the button pressed (IDOK, IDCANCEL, ...).
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual int Show(const MessageBoxRequest& request) = 0;
};

// Installs a prompter for the whole process (null removes it) and returns the one
// it replaces. The prompter is not owned and must outlive its installation.
Prompter* InstallPrompter(Prompter* prompter);

// The answer of a box nobody sees: OK where OK is the only choice, the refusing
// button otherwise (Cancel, or No for a yes/no box).
int DefaultAnswer(UINT type);

// The caption of every box.
void SetAppName(std::string name);
std::string AppName();

// Shows the box through the installed prompter; without one, answers
// DefaultAnswer(type) silently.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);

}  // namespace platform
