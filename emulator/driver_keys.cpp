#include "emulator/driver_keys.h"

#include "platform/registry.h"
#include "platform/text.h"

namespace emulator {
namespace {

bool SetValue(const std::string& path, const char* name, const platform::RegValue& value) {
  std::optional<platform::RegKey> key = platform::RegKey::Create(platform::HKEY_LOCAL_MACHINE, path);
  return key && key->Set(name, value);
}

bool CreateKey(const std::string& path) {
  return platform::RegKey::Create(platform::HKEY_LOCAL_MACHINE, path).has_value();
}

bool InstallEventKey(const std::string& path, const std::optional<std::string>& applications) {
  if (!applications) return CreateKey(path);
  return SetValue(path, "LaunchApplications", platform::RegValue::String(*applications));
}

}  // namespace

std::string DriverKeyPath(const StiDriver& driver) {
  return "SYSTEM\\CurrentControlSet\\Control\\Class\\" + platform::text::Utf16ToUtf8(driver.internal_name);
}

bool InstallDriverKeys(const EmulatedDevice& device) {
  if (!device.attachment().sti) return true;
  const StiDriver& driver = *device.attachment().sti;
  const std::string base = DriverKeyPath(driver);
  const std::string device_data = base + "\\DeviceData";
  const bool data_ok = driver.disable_notifications
                           ? SetValue(device_data, "DisableNotifications", platform::RegValue::Dword(*driver.disable_notifications))
                           : CreateKey(device_data);
  const bool button_ok = InstallEventKey(base + "\\Events\\StartStopButton", driver.button_applications);
  const bool feeder_ok = InstallEventKey(base + "\\Events\\FeederLoaded", driver.feeder_applications);
  return data_ok && button_ok && feeder_ok;
}

bool InstallDriverKeys(const Bus& bus) {
  bool ok = true;
  for (const auto& device : bus.Devices()) ok = InstallDriverKeys(*device) && ok;
  return ok;
}

void RemoveDriverKeys(const EmulatedDevice& device) {
  if (device.attachment().sti) platform::RegDeleteTree(platform::HKEY_LOCAL_MACHINE, DriverKeyPath(*device.attachment().sti));
}

}  // namespace emulator
