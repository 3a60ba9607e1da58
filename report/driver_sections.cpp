// The SCSI driver information, the adapter list and the USB driver information.
#include <functional>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "report/device_description.h"
#include "report/system_sections.h"

namespace report {
namespace {

using platform::RegKey;

constexpr std::string_view kScsiMap = "HARDWARE\\DEVICEMAP\\Scsi";
constexpr std::string_view kScsiAdapterGuid = "{4D36E97B-E325-11CE-BFC1-08002BE10318}";
constexpr std::string_view kUsbGuid = "{36FC9E60-C465-11CF-8056-444553540000}";

// An enumerator's key in the NT layout, else in the older one.
std::optional<RegKey> OpenEnum(ReportContext& context, std::string_view enumerator) {
  if (auto key = RegKey::Open(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\" + std::string(enumerator)))
    return key;
  auto key = RegKey::Open(platform::HKEY_LOCAL_MACHINE, "Enum\\" + std::string(enumerator));
  if (key) context.nt_layout = false;
  return key;
}

// Class "wanted", or without Class the class GUID.
bool IsOfClass(const RegKey& device, std::string_view class_name, std::string_view class_guid) {
  if (const auto value = QueryString(device, "Class")) return platform::text::EqualsIgnoreCase(*value, class_name);
  const auto guid = QueryString(device, "ClassGUID");
  return guid && platform::text::EqualsIgnoreCase(*guid, class_guid);
}

using DeviceFilter = std::function<bool(const RegKey&)>;

// Describes the device keys two levels below the enumerator that pass the filter;
// with the NT layout only devices present now (with a Control subkey).
bool DescribeDevices(ReportFile& file, ReportContext& context, std::string_view enumerator, const DeviceFilter& wanted) {
  const auto root = OpenEnum(context, enumerator);
  if (!root) return true;
  for (const std::string& device_id : root->SubKeys()) {
    const auto device = root->OpenSubKey(device_id);
    if (!device) continue;
    for (const std::string& instance_name : device->SubKeys()) {
      const auto instance = device->OpenSubKey(instance_name);
      if (!instance || !wanted(*instance)) continue;
      if (context.nt_layout && !instance->OpenSubKey("Control")) continue;
      if (!WriteDeviceDescription(file, context, *instance, instance_name)) return false;
    }
  }
  return true;
}

bool Every(const RegKey&) { return true; }

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && platform::text::EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// One bus: its initiators, and the logical units of its targets that identify themselves.
bool WriteScsiBus(ReportFile& file, const RegKey& bus, std::string_view port_name, std::string_view bus_name) {
  if (!file.Printf("<< %.*s - %.*s >>\n", static_cast<int>(port_name.size()), port_name.data(),
                   static_cast<int>(bus_name.size()), bus_name.data()))
    return false;
  for (const std::string& child_name : bus.SubKeys()) {
    if (StartsWithIgnoreCase(child_name, "Initiator")) {
      if (!file.Printf("%s\n", child_name.c_str())) return false;
      continue;
    }
    const auto target = bus.OpenSubKey(child_name);
    if (!target) continue;
    for (const std::string& unit_name : target->SubKeys()) {
      const auto unit = target->OpenSubKey(unit_name);
      const auto identifier = unit ? QueryString(*unit, "Identifier") : std::nullopt;
      if (identifier && !file.Printf("%s - %s, %s\n", child_name.c_str(), unit_name.c_str(), identifier->c_str()))
        return false;
    }
  }
  return file.Write("\n");
}

bool WriteScsiPort(ReportFile& file, const RegKey& port, std::string_view port_name) {
  if (!file.Printf("<< %.*s >>\n", static_cast<int>(port_name.size()), port_name.data())) return false;
  const auto driver = QueryString(port, "Driver");
  if (!driver) return true;
  if (!WriteServiceLines(file, *driver) || !file.Write("\n")) return false;
  for (const std::string& bus_name : port.SubKeys()) {
    const auto bus = port.OpenSubKey(bus_name);
    if (bus && !WriteScsiBus(file, *bus, port_name, bus_name)) return false;
  }
  return file.Write("\n");
}

}  // namespace

bool WriteScsiDriverSection(ReportFile& file, ReportContext& context) {
  context.nt_layout = true;
  if (!file.Write("<< SCSI Driver Information >>\n\n")) return false;
  const auto map = RegKey::Open(platform::HKEY_LOCAL_MACHINE, kScsiMap);
  if (!map) {
    context.nt_layout = false;
    return true;
  }
  const std::vector<std::string> ports = map->SubKeys();
  if (ports.empty()) return file.Write("No SCSI Device\n");
  for (const std::string& port_name : ports) {
    const auto port = map->OpenSubKey(port_name);
    if (port && !WriteScsiPort(file, *port, port_name)) return false;
  }
  return true;
}

bool WriteAdapterList(ReportFile& file, ReportContext& context) {
  const DeviceFilter scsi_adapter = [](const RegKey& device) {
    return IsOfClass(device, "SCSIAdapter", kScsiAdapterGuid);
  };
  return DescribeDevices(file, context, "PCI", scsi_adapter) && DescribeDevices(file, context, "ISAPNP", scsi_adapter) &&
         DescribeDevices(file, context, "SCSI", Every);
}

bool WriteUsbDriverSection(ReportFile& file, ReportContext& context) {
  if (!context.usb_section) return true;
  context.nt_layout = true;
  if (!file.Write("<< USB Driver Information >>\n\n")) return false;
  const DeviceFilter usb_controller = [](const RegKey& device) { return IsOfClass(device, "USB", kUsbGuid); };
  return DescribeDevices(file, context, "PCI", usb_controller) && DescribeDevices(file, context, "USB", Every);
}

}  // namespace report
