// The parts of the hardware projection, each adding its keys under the root that
// stands for HKEY_LOCAL_MACHINE.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/hardware/driver_keys.h"
#include "platform/hardware_keys.h"
#include "platform/registry_hive.h"

namespace platform::hardware {

using ModelName = std::function<std::optional<std::string>(const std::string& key)>;

void AddCpuKeys(const HardwareRoots& roots, hive::Key& machine);
void AddScsiKeys(const HardwareRoots& roots, hive::Key& machine, DriverKeys& drivers);
void AddPciKeys(const HardwareRoots& roots, const ModelName& model_name, DriverKeys& drivers);
void AddUsbKeys(const HardwareRoots& roots, const ModelName& model_name, DriverKeys& drivers);

}  // namespace platform::hardware
