// SYSTEM\CurrentControlSet\Enum\USB\VID_xxxx&PID_xxxx\<serial number or port>
// from /sys/bus/usb/devices (devices; their interfaces are named "<port>:<config>.<n>").
#include "platform/format.h"
#include "platform/hardware/parts.h"
#include "platform/hardware/sysfs.h"
#include "platform/text.h"

namespace platform::hardware {
namespace {

constexpr size_t kMaxSerialChars = 64;

struct Interfaces {
  std::optional<uint8_t> first_class;
  std::optional<std::string> module;  // the first interface's driver that has one
};

Interfaces ReadInterfaces(const std::filesystem::path& device_dir) {
  Interfaces found;
  for (const std::string& name : SortedEntries(device_dir)) {
    if (name.find(':') == std::string::npos) continue;
    const std::optional<uint32_t> code = ReadHex(device_dir / name / "bInterfaceClass", 0xFF);
    if (!code) continue;
    if (!found.first_class) found.first_class = static_cast<uint8_t>(*code);
    if (!found.module)
      if (const std::optional<BoundDriver> driver = DriverOf(device_dir / name)) found.module = driver->module;
  }
  return found;
}

// The serial number when it makes a fitting instance name, else the port.
std::string InstanceName(const std::filesystem::path& device_dir, const std::string& port) {
  const std::optional<std::string> serial = ReadAttribute(device_dir / "serial");
  if (!serial || serial->empty() || serial->size() > kMaxSerialChars) return KeyNameOf(port);
  for (char c : *serial)
    if (c <= ' ' || c > '~' || c == '\\') return KeyNameOf(port);
  return *serial;
}

}  // namespace

void AddUsbKeys(const HardwareRoots& roots, const ModelName& model_name, DriverKeys& drivers) {
  const std::vector<std::string> base = PathNames("SYSTEM\\CurrentControlSet\\Enum\\USB");
  const std::filesystem::path folder = roots.sys / "bus/usb/devices";
  for (const std::string& port : SortedEntries(folder)) {
    if (port.find(':') != std::string::npos) continue;
    const std::filesystem::path dir = folder / port;
    const std::optional<uint32_t> vendor = ReadHex(dir / "idVendor", 0xFFFF),
                                  product = ReadHex(dir / "idProduct", 0xFFFF);
    if (!vendor || !product) continue;
    const Interfaces interfaces = ReadInterfaces(dir);
    const auto device_class = static_cast<uint8_t>(ReadHex(dir / "bDeviceClass", 0xFF).value_or(0));
    std::optional<std::string> description = model_name(Format("usb:v%04Xp%04X", *vendor, *product));
    if (!description) description = ReadAttribute(dir / "product");
    if (!description || text::Trim(*description).empty()) description = "USB device";
    drivers.Describe(Under(base, {Format("VID_%04X&PID_%04X", *vendor, *product), InstanceName(dir, port)}),
                     UsbClassOf(device_class, interfaces.first_class), KeyNameOf(text::Trim(*description)),
                     interfaces.module);
  }
}

}  // namespace platform::hardware
