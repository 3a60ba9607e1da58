#include "scanner/model_codes.h"
#include "scanner/setting_commands.h"
#include "settings/paper_buzzer_dlg.h"
#include "settings/setting_commands.h"

namespace settings {
namespace {

using scanner::ScannerContext;

constexpr scanner::ModelSet kBuzzerOnly = scanner::kWideBodyFamily;

// Radio indexes: 0 is "A4" / "ON". No selection counts as Letter and as ON.
int OnIndex(uint8_t value) { return value != 0 ? 0 : 1; }
uint8_t PaperValue(int index) { return index == 0 ? 1 : 0; }
uint8_t BuzzerValue(int index) { return index == 1 ? 0 : 1; }

bool WriteBuzzer(ScannerContext& context, uint8_t value) {
  if (!scanner::WriteBuzzerSetting(context.host_adapter, context.target, value)) return false;
  context.buzzer = value;
  return true;
}

SettingOutcome BuzzerOnly(ScannerContext& context, platform::ui::CWnd* parent) {
  uint8_t buzzer = 0;
  if (!scanner::ReadBuzzerSetting(context.host_adapter, context.target, buzzer)) return SettingOutcome::kFailed;
  CUDlgSetBuzzerSetting dialog(parent);
  dialog.buzzer_index = OnIndex(buzzer);
  if (dialog.DoModal() != platform::ui::IDOK) return SettingOutcome::kCancelled;
  return WriteBuzzer(context, BuzzerValue(dialog.buzzer_index)) ? SettingOutcome::kWritten : SettingOutcome::kFailed;
}

SettingOutcome PaperAndBuzzer(ScannerContext& context, platform::ui::CWnd* parent) {
  uint8_t paper = 0, buzzer = 0;
  if (!scanner::ReadPaperMode(context.host_adapter, context.target, paper)) return SettingOutcome::kFailed;
  if (!scanner::ReadBuzzerSetting(context.host_adapter, context.target, buzzer)) return SettingOutcome::kFailed;
  CDlgSetPaperSize dialog(parent);
  dialog.paper_index = OnIndex(paper);
  dialog.buzzer_index = OnIndex(buzzer);
  if (dialog.DoModal() != platform::ui::IDOK) return SettingOutcome::kCancelled;
  const uint8_t new_paper = PaperValue(dialog.paper_index);
  if (!scanner::WritePaperMode(context.host_adapter, context.target, new_paper)) return SettingOutcome::kFailed;
  context.paper_mode = new_paper;
  return WriteBuzzer(context, BuzzerValue(dialog.buzzer_index)) ? SettingOutcome::kWritten : SettingOutcome::kFailed;
}

}  // namespace

SettingOutcome RunPaperBuzzer(ScannerContext& context, platform::ui::CWnd* parent) {
  return kBuzzerOnly.Has(context.model_code) ? BuzzerOnly(context, parent) : PaperAndBuzzer(context, parent);
}

}  // namespace settings
