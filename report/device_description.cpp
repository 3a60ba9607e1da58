#include "report/device_description.h"

#include "platform/text.h"
#include "report/file_version.h"

namespace report {
namespace {

constexpr std::string_view kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr std::string_view kOldClassKey = "System\\CurrentControlSet\\Services\\Class\\";
constexpr std::string_view kServicesKey = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr std::string_view kWindowsFolder = "C:\\windows\\";

std::optional<platform::RegKey> OpenClassDriver(ReportContext& context, std::string_view driver) {
  if (auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, std::string(kClassKey) + std::string(driver)))
    return key;
  auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, std::string(kOldClassKey) + std::string(driver));
  if (key) context.nt_layout = false;
  return key;
}

// An image path as services name it: "\SystemRoot\..." and relative paths are in the
// Windows folder, "\??\" prefixes a plain path.
std::string ImageFile(std::string_view image_path) {
  constexpr std::string_view kSystemRoot = "\\SystemRoot\\";
  constexpr std::string_view kDosPrefix = "\\??\\";
  if (image_path.size() >= kSystemRoot.size() &&
      platform::text::EqualsIgnoreCase(image_path.substr(0, kSystemRoot.size()), kSystemRoot))
    return std::string(kWindowsFolder) + std::string(image_path.substr(kSystemRoot.size()));
  if (image_path.starts_with(kDosPrefix)) return std::string(image_path.substr(kDosPrefix.size()));
  const bool rooted = !image_path.empty() && (image_path[0] == '\\' || image_path[0] == '/');
  const bool on_drive = image_path.size() >= 2 && image_path[1] == ':';
  if (rooted || on_drive) return std::string(image_path);
  return std::string(kWindowsFolder) + std::string(image_path);
}

// The heading of a device: its class driver's description, or its own.
std::optional<std::string> DeviceHeading(ReportContext& context, const platform::RegKey& device) {
  if (const auto driver = QueryString(device, "Driver")) {
    const auto class_driver = OpenClassDriver(context, *driver);
    if (!class_driver) return std::nullopt;
    const auto description = QueryString(*class_driver, "DriverDesc");
    if (!description) return std::nullopt;
    std::string heading = "<< " + *description + " >>\n";
    if (const auto date = QueryString(*class_driver, "DriverDate")) heading += "Date, " + *date + "\n";
    if (const auto version = QueryString(*class_driver, "DriverVersion")) heading += "Version, " + *version + "\n";
    return heading;
  }
  if (const auto description = QueryString(device, "DeviceDesc")) return "<< " + *description + " >>\n";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> QueryString(const platform::RegKey& key, std::string_view name) {
  const auto value = key.Query(name);
  if (!value) return std::nullopt;
  return value->AsString();
}

bool WriteServiceLines(ReportFile& file, std::string_view service) {
  if (!file.Printf("Service, %.*s\n", static_cast<int>(service.size()), service.data())) return false;
  const auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, std::string(kServicesKey) + std::string(service));
  const auto image_path = key ? QueryString(*key, "ImagePath") : std::nullopt;
  if (!image_path) return true;
  const auto version = FindFileVersion(ImageFile(*image_path));
  if (!version) return true;
  return file.Printf("File Name, %s\nVersion, %s\n", image_path->c_str(), version->c_str());
}

bool WriteDeviceDescription(ReportFile& file, ReportContext& context, const platform::RegKey& device,
                            std::string_view name) {
  const auto heading = DeviceHeading(context, device);
  if (!heading) return true;
  if (!file.Write(*heading)) return false;
  if (const auto service = QueryString(device, "Service")) {
    if (!WriteServiceLines(file, *service)) return false;
  }
  if (!file.Printf("DeviceKeyName, %.*s\n", static_cast<int>(name.size()), name.data())) return false;
  if (const auto prefix = QueryString(device, "ParentIdPrefix")) {
    if (!file.Printf("ParentIdPrefix, %s\n", prefix->c_str())) return false;
  }
  return file.Write("\n");
}

}  // namespace report
