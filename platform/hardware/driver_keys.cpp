#include "platform/hardware/driver_keys.h"

#include <chrono>
#include <ctime>
#include <fstream>

#include "platform/format.h"
#include "platform/hardware/sysfs.h"
#include "platform/paths.h"

namespace platform::hardware {
namespace {

constexpr const char* kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services";

// Module names treat '-' and '_' alike; the kernel shows them with '_'.
std::string NormalModuleName(std::string name) {
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

// modules.dep: "kernel/drivers/ata/ahci.ko.xz: kernel/drivers/ata/libahci.ko.xz", a line per module.
std::map<std::string, std::filesystem::path> ReadModuleFiles(const std::filesystem::path& folder) {
  std::map<std::string, std::filesystem::path> files;
  std::ifstream in(folder / "modules.dep");
  for (std::string line; std::getline(in, line);) {
    const std::string file = line.substr(0, line.find(':'));
    const std::string base = std::filesystem::path(file).filename().string();
    const size_t ko = base.find(".ko");
    if (ko == std::string::npos || ko == 0) continue;
    files.emplace(NormalModuleName(base.substr(0, ko)), folder / file);
  }
  return files;
}

// The file's modification date as driver dates are written, "M-D-YYYY" (UTC).
std::optional<std::string> FileDate(const std::filesystem::path& file) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(file, ec);
  if (ec) return std::nullopt;
  const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
  std::tm tm{};
  if (!::gmtime_r(&seconds, &tm)) return std::nullopt;
  return Format("%d-%d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
}

}  // namespace

std::vector<std::string> Under(std::vector<std::string> path, const std::vector<std::string>& names) {
  path.insert(path.end(), names.begin(), names.end());
  return path;
}

hive::Key& KeyAt(hive::Key& root, std::vector<std::string> path, const std::vector<std::string>& names) {
  return hive::FindOrCreate(root, Under(std::move(path), names));
}

std::vector<std::string> PathNames(std::string_view path) {
  return hive::SplitKeyPath(path).value_or(std::vector<std::string>{});
}

std::string KeyNameOf(std::string_view text) {
  std::string name(text.substr(0, hive::kMaxKeyNameChars));
  for (char& c : name)
    if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return name;
}

std::optional<BoundDriver> DriverOf(const std::filesystem::path& device_dir) {
  const std::optional<std::string> name = LinkName(device_dir / "driver");
  if (!name) return std::nullopt;
  const std::optional<std::string> module = LinkName(device_dir / "driver" / "module");
  return BoundDriver{*name, KeyNameOf(NormalModuleName(module.value_or(*name)))};
}

DriverKeys::DriverKeys(const HardwareRoots& roots, hive::Key& machine)
    : roots_(roots), machine_(machine), release_(ReadAttribute(roots.proc / "sys/kernel/osrelease").value_or("")) {}

void DriverKeys::Describe(const std::vector<std::string>& device_path, const DeviceClass* device_class,
                          const std::string& description, const std::optional<std::string>& module) {
  // The driver's keys first: adding keys may move the ones found before.
  std::optional<std::string> driver;
  if (module && device_class && device_class->driver_keys) driver = AddClassKey(*device_class, description, *module);
  if (module) AddService(*module);
  hive::Key& device = KeyAt(machine_, device_path);
  device.SetValue("DeviceDesc", RegValue::String(description));
  if (device_class) {
    device.SetValue("Class", RegValue::String(device_class->name));
    device.SetValue("ClassGUID", RegValue::String(device_class->guid));
  }
  if (driver) device.SetValue("Driver", RegValue::String(*driver));
  if (module) device.SetValue("Service", RegValue::String(*module));
  hive::Key& control = KeyAt(device, {"Control"});
  if (module) control.SetValue("ActiveService", RegValue::String(*module));
}

std::string DriverKeys::AddClassKey(const DeviceClass& device_class, const std::string& description,
                                    const std::string& module) {
  const std::string instance = Format("%04d", class_counts_[device_class.guid]++);
  hive::Key& class_key = KeyAt(machine_, PathNames(kClassKey), {device_class.guid});
  class_key.SetValue("Class", RegValue::String(device_class.name));
  hive::Key& driver = hive::FindOrCreate(class_key, {instance});
  driver.SetValue("DriverDesc", RegValue::String(description));
  const std::optional<std::filesystem::path> file = ModuleFile(module);
  if (const std::optional<std::string> date = file ? FileDate(*file) : std::nullopt)
    driver.SetValue("DriverDate", RegValue::String(*date));
  const std::optional<std::string> version = ReadAttribute(roots_.sys / "module" / module / "version");
  if (version && !version->empty())
    driver.SetValue("DriverVersion", RegValue::String(*version));
  else if (!release_.empty())
    driver.SetValue("DriverVersion", RegValue::String(release_));
  return std::string(device_class.guid) + "\\" + instance;
}

void DriverKeys::AddService(const std::string& module) {
  hive::Key& service = KeyAt(machine_, PathNames(kServicesKey), {KeyNameOf(module)});
  if (const std::optional<std::filesystem::path> file = ModuleFile(module))
    service.SetValue("ImagePath", RegValue::String(paths::ToWindows(*file)));
}

std::optional<std::filesystem::path> DriverKeys::ModuleFile(const std::string& module) {
  if (release_.empty() || release_.find('/') != std::string::npos) return std::nullopt;
  if (!module_files_) module_files_ = ReadModuleFiles(roots_.modules / release_);
  const auto it = module_files_->find(module);
  if (it == module_files_->end()) return std::nullopt;
  return it->second;
}

}  // namespace platform::hardware
