// The main window's setting commands, from the scanner's values through the dialog
// back to the scanner. The window keeps the status frame around them.
#pragma once
#include "platform/ui/wnd.h"
#include "scanner/scanner_context.h"

namespace settings {

// The window's status timer after a dialog: its first tick refreshes the status at once.
constexpr unsigned kAfterDialogInterval = 10;

enum class SettingOutcome {
  kFailed,     // an exchange failed and was shown: the status wants a refresh
  kCancelled,  // nothing written
  kWritten,    // the dialog ended with OK and its writes ran
};

// Sleep Mode. Only a failed read counts as kFailed: the write failures have been shown
// and the dialog is gone.
SettingOutcome RunSleepMode(const scanner::ScannerContext& context, platform::ui::CWnd* parent);
// Paper Mode / Buzzer Setting, or Buzzer Setting alone for the models without a paper
// mode. The context keeps each value the scanner took.
SettingOutcome RunPaperBuzzer(scanner::ScannerContext& context, platform::ui::CWnd* parent);
// Compatible Mode. After the write the context holds the scanner's pair.
SettingOutcome RunCompatibleMode(scanner::ScannerContext& context, platform::ui::CWnd* parent);

}  // namespace settings
