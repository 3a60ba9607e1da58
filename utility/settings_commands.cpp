// The main window's paper mode / buzzer, compatible mode and caution setting commands.
#include "scanner/text_forms.h"
#include "settings/caution_dlg.h"
#include "settings/setting_commands.h"
#include "utility/control_ids.h"
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnPaperBuzzer() {
  BeginCommand();
  const bool failed = settings::RunPaperBuzzer(context_, this) == settings::SettingOutcome::kFailed;
  EndCommand(failed ? kStatusInterval : settings::kAfterDialogInterval);
}

void CServiceUtilityDlg::OnCompatibleMode() {
  BeginCommand();
  const settings::SettingOutcome outcome = settings::RunCompatibleMode(context_, this);
  if (outcome == settings::SettingOutcome::kWritten)
    SetDlgItemText(id::kCompatibleValue, scanner::CompatibleModeText(context_));
  EndCommand(outcome == settings::SettingOutcome::kFailed ? kStatusInterval : settings::kAfterDialogInterval);
}

void CServiceUtilityDlg::OnCautionSetting() {
  BeginCommand();
  settings::CUDlgWarning dialog(context_, this);
  dialog.clean_timing = counters_.clean_caution;
  dialog.replace_timing = counters_.replace_caution;
  dialog.paper_feed_timing = counters_.paper_feed_caution;
  if (dialog.DoModal() == platform::ui::IDOK) {
    counters_.WriteThresholds(dialog.clean_timing, dialog.replace_timing, dialog.paper_feed_timing);
    if (counters_.Read(1)) WriteCounterTexts(true);
  }
  EndCommand(settings::kAfterDialogInterval);
}

}  // namespace utility
