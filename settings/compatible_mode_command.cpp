#include "device/device_library.h"
#include "scanner/setting_commands.h"
#include "settings/compatible_mode_dlg.h"
#include "settings/setting_commands.h"

namespace settings {
namespace {

// The simulated scanner answers zeros; these models stand in with their own pair.
struct SimulatedPair {
  uint8_t model_code, own_type_code, current_code;
};
constexpr SimulatedPair kSimulatedPairs[] = {{12, 16, 16}, {16, 18, 18}, {14, 17, 17}};

void ApplySimulatedPair(uint8_t model_code, uint8_t& own_type_code, uint8_t& current_code) {
  for (const SimulatedPair& pair : kSimulatedPairs) {
    if (pair.model_code != model_code) continue;
    own_type_code = pair.own_type_code;
    current_code = pair.current_code;
  }
}

}  // namespace

SettingOutcome RunCompatibleMode(scanner::ScannerContext& context, platform::ui::CWnd* parent) {
  uint8_t own_type_code = 0, current_code = 0;
  if (!scanner::ReadCompatibleMode(context.host_adapter, context.target, own_type_code, current_code))
    return SettingOutcome::kFailed;
  if (device::SimulatedScanner()) ApplySimulatedPair(context.model_code, own_type_code, current_code);
  CDlgCompatibleMode dialog(own_type_code, current_code, parent);
  if (dialog.DoModal() != platform::ui::IDOK) return SettingOutcome::kCancelled;
  if (!scanner::WriteCompatibleMode(context.host_adapter, context.target, dialog.current_code()))
    return SettingOutcome::kFailed;
  context.compatible_code = own_type_code;
  context.compatible_second = dialog.current_code();
  return SettingOutcome::kWritten;
}

}  // namespace settings
