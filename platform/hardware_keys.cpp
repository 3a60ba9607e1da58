#include "platform/hardware_keys.h"

#include "platform/hardware/model_names.h"
#include "platform/hardware/parts.h"
#include "platform/registry_volatile.h"

namespace platform {

hive::Key BuildHardwareKeys(const HardwareRoots& roots) {
  hive::Key machine;
  std::optional<hardware::HardwareDatabase> database;
  hardware::ModelName model_name = roots.model_name;
  if (!model_name) {
    database.emplace();
    model_name = [&database](const std::string& key) { return database->Model(key); };
  }
  hardware::DriverKeys drivers(roots, machine);
  hardware::AddCpuKeys(roots, machine);
  hardware::AddScsiKeys(roots, machine, drivers);
  hardware::AddPciKeys(roots, model_name, drivers);
  hardware::AddUsbKeys(roots, model_name, drivers);
  return machine;
}

void ProjectHardwareKeys(const HardwareRoots& roots) { SetVolatileLocalMachine(BuildHardwareKeys(roots)); }

}  // namespace platform
