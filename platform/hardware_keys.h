// HKEY_LOCAL_MACHINE's hardware and driver keys, projected from the running system's
// /proc and /sys into the registry's volatile part (never written to system.reg):
//   HARDWARE\DESCRIPTION\System\CentralProcessor\N      Identifier, ~MHz, ...
//   HARDWARE\DEVICEMAP\Scsi\Scsi Port N\Scsi Bus C\...  Driver, Identifier, Type
//   SYSTEM\CurrentControlSet\Enum\{PCI,SCSI,USB}\<id>\<instance>
//   SYSTEM\CurrentControlSet\Control\Class\{guid}\NNNN  DriverDesc, DriverDate, DriverVersion
//   SYSTEM\CurrentControlSet\Services\<module>          ImagePath
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/registry_hive.h"

namespace platform {

struct HardwareRoots {
  std::filesystem::path proc = "/proc";
  std::filesystem::path sys = "/sys";
  std::filesystem::path modules = "/lib/modules";
  // A device's model name by its hardware-database key ("pci:v00001F3Ad00001C02",
  // "usb:v1F3Cp0002"); empty asks the system's hardware database.
  std::function<std::optional<std::string>(const std::string& key)> model_name;
};

// The keys, under a root standing for HKEY_LOCAL_MACHINE.
hive::Key BuildHardwareKeys(const HardwareRoots& roots = {});
// Builds the keys and makes them the registry's volatile part.
void ProjectHardwareKeys(const HardwareRoots& roots = {});

}  // namespace platform
