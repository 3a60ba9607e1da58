// The driver side of projected devices: each device key's Class, ClassGUID, DeviceDesc,
// Service, Driver and Control, the class driver keys (Control\Class\{guid}\NNNN) the
// Driver values name, and the Services keys of the kernel modules.
#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/hardware/device_classes.h"
#include "platform/hardware_keys.h"
#include "platform/registry_hive.h"

namespace platform::hardware {

// The key at a path of names, created with its parents (a name may hold any text but '\\').
hive::Key& KeyAt(hive::Key& root, std::vector<std::string> path, const std::vector<std::string>& names = {});
// A path of names with more names after it.
std::vector<std::string> Under(std::vector<std::string> path, const std::vector<std::string>& names);
// The names of a constant key path.
std::vector<std::string> PathNames(std::string_view path);
// A text made fit for a key name: no backslash, no control characters.
std::string KeyNameOf(std::string_view text);

// The driver bound to a sysfs device: its name and its module (the driver's name for
// one built into the kernel).
struct BoundDriver {
  std::string name;
  std::string module;
};
std::optional<BoundDriver> DriverOf(const std::filesystem::path& device_dir);

class DriverKeys {
 public:
  DriverKeys(const HardwareRoots& roots, hive::Key& machine);

  // Fills a present device's key, at a path under the machine's root; module names the
  // driver serving it, if any.
  void Describe(const std::vector<std::string>& device_path, const DeviceClass* device_class,
                const std::string& description, const std::optional<std::string>& module);

 private:
  std::string AddClassKey(const DeviceClass& device_class, const std::string& description, const std::string& module);
  void AddService(const std::string& module);
  std::optional<std::filesystem::path> ModuleFile(const std::string& module);

  const HardwareRoots& roots_;
  hive::Key& machine_;
  std::string release_;
  std::map<std::string, int> class_counts_;
  std::optional<std::map<std::string, std::filesystem::path>> module_files_;  // read on first use
};

}  // namespace platform::hardware
