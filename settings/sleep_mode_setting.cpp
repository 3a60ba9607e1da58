#include "settings/sleep_mode_setting.h"

#include "scanner/setting_commands.h"

namespace settings {

bool SleepModeSetting::Read() {
  scanner::SleepValues values{sleep_enabled, sleep_minutes, power_off_enabled, power_off_minutes};
  if (!scanner::ReadSleepSetting(context_.host_adapter, context_.target, context_.power_off, values)) return false;
  sleep_enabled = values.sleep_enabled;
  sleep_minutes = values.sleep_minutes;
  if (context_.power_off) {
    power_off_enabled = values.power_off_enabled;
    power_off_minutes = values.power_off_minutes;
  }
  return true;
}

bool SleepModeSetting::Write() const {
  const scanner::SleepValues values{sleep_enabled, sleep_minutes, power_off_enabled, power_off_minutes};
  return scanner::WriteSleepSetting(context_.host_adapter, context_.target, context_.power_off, values) != 0;
}

bool ReadFlatbedSleepTime(const scanner::ScannerContext& context, uint8_t& minutes) {
  return scanner::ReadFlatbedSleep(context.host_adapter, context.target, minutes) != 0;
}

bool WriteFlatbedSleepTime(const scanner::ScannerContext& context, uint8_t minutes) {
  return scanner::WriteFlatbedSleep(context.host_adapter, context.target, minutes) != 0;
}

}  // namespace settings
