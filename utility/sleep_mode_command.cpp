// The main window's "Sleep Mode" command.
#include "settings/setting_commands.h"
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnSleepMode() {
  BeginCommand();
  const bool failed = settings::RunSleepMode(context_, this) == settings::SettingOutcome::kFailed;
  EndCommand(failed ? kStatusInterval : settings::kAfterDialogInterval);
}

}  // namespace utility
