#include "scanner/model_codes.h"
#include "settings/setting_commands.h"
#include "settings/sleep_mode_dlg.h"
#include "settings/sleep_mode_setting.h"

namespace settings {

namespace {
// Shown when the flatbed unit's own value cannot be read.
constexpr uint8_t kFlatbedMinutesUnread = 4;
}

SettingOutcome RunSleepMode(const scanner::ScannerContext& context, platform::ui::CWnd* parent) {
  CDlgSleepMode dialog(context, parent);
  SleepModeSetting setting(context);
  // The flatbed unit on its own has no scanner timers, only its own; its configuration
  // does not report itself as an attached unit.
  const bool scanner_timers = context.model_code != scanner::kFlatbedModelCode;
  dialog.flatbed_present = context.flatbed_connected || !scanner_timers;
  if (scanner_timers && !setting.Read()) return SettingOutcome::kFailed;
  uint8_t flatbed_minutes = kFlatbedMinutesUnread;
  if (dialog.flatbed_present) ReadFlatbedSleepTime(context, flatbed_minutes);

  dialog.sleep_disabled = !setting.sleep_enabled;
  dialog.sleep_minutes = setting.sleep_minutes;
  dialog.flatbed_minutes = flatbed_minutes;
  dialog.power_off_disabled = !setting.power_off_enabled;
  dialog.power_off_minutes = setting.power_off_minutes;
  if (dialog.DoModal() != platform::ui::IDOK) return SettingOutcome::kCancelled;

  setting.sleep_enabled = !dialog.sleep_disabled;
  setting.sleep_minutes = static_cast<uint8_t>(dialog.sleep_minutes);
  setting.power_off_enabled = !dialog.power_off_disabled;
  setting.power_off_minutes = static_cast<uint8_t>(dialog.power_off_minutes);
  if (scanner_timers) setting.Write();
  if (dialog.flatbed_present) WriteFlatbedSleepTime(context, static_cast<uint8_t>(dialog.flatbed_minutes));
  return SettingOutcome::kWritten;
}

}  // namespace settings
