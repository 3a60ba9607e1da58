// SYSTEM\CurrentControlSet\Enum\PCI\VEN_xxxx&DEV_xxxx&SUBSYS_xxxxxxxx&REV_xx\<address>
// from /sys/bus/pci/devices.
#include "platform/format.h"
#include "platform/hardware/parts.h"
#include "platform/hardware/sysfs.h"

namespace platform::hardware {

void AddPciKeys(const HardwareRoots& roots, const ModelName& model_name, DriverKeys& drivers) {
  const std::vector<std::string> base = PathNames("SYSTEM\\CurrentControlSet\\Enum\\PCI");
  const std::filesystem::path folder = roots.sys / "bus/pci/devices";
  for (const std::string& address : SortedEntries(folder)) {
    const std::filesystem::path dir = folder / address;
    const std::optional<uint32_t> vendor = ReadHex(dir / "vendor", 0xFFFF), device = ReadHex(dir / "device", 0xFFFF),
                                  class_code = ReadHex(dir / "class", 0xFFFFFF);
    if (!vendor || !device || !class_code) continue;
    const uint32_t sub_vendor = ReadHex(dir / "subsystem_vendor", 0xFFFF).value_or(0),
                   sub_device = ReadHex(dir / "subsystem_device", 0xFFFF).value_or(0),
                   revision = ReadHex(dir / "revision", 0xFF).value_or(0);
    const std::string id =
        Format("VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_%02X", *vendor, *device, sub_device, sub_vendor, revision);
    const PciClass pci_class = PciClassOf(static_cast<uint16_t>(*class_code >> 8));
    const std::string description =
        model_name(Format("pci:v%08Xd%08X", *vendor, *device)).value_or(pci_class.description);
    const std::optional<BoundDriver> driver = DriverOf(dir);
    drivers.Describe(Under(base, {id, KeyNameOf(address)}), pci_class.device_class, KeyNameOf(description),
                     driver ? std::optional<std::string>(driver->module) : std::nullopt);
  }
}

}  // namespace platform::hardware
