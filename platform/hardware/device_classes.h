// The Windows device setup classes the projected devices fall into.
#pragma once
#include <cstdint>
#include <optional>

namespace platform::hardware {

struct DeviceClass {
  const char* name;
  const char* guid;
  // Whether the projection numbers the class's driver keys; the still-image class's
  // keys belong to the still-image installation.
  bool driver_keys = true;
};

extern const DeviceClass kScsiAdapterClass, kHdcClass, kNetClass, kDisplayClass, kMediaClass, kSystemClass, kUsbClass,
    kHidClass, kImageClass, kDiskDriveClass, kCdRomClass, kTapeDriveClass, kMediumChangerClass;

struct PciClass {
  const DeviceClass* device_class;  // null: no setup class
  const char* description;          // the name when the hardware database has none
};
// By the PCI class code's base class and subclass (class >> 8).
PciClass PciClassOf(uint16_t code);

// By the USB device class, or its first interface's class when the device leaves it to them
// (class 00, or EF with interface associations).
const DeviceClass* UsbClassOf(uint8_t device_class, std::optional<uint8_t> interface_class);

struct ScsiType {
  const char* enum_prefix;  // "Disk" in Enum\SCSI\Disk&Ven_...
  const char* peripheral;   // "DiskPeripheral" in the device map
  const DeviceClass* device_class;
};
// By the SCSI peripheral device type.
ScsiType ScsiTypeOf(long type);

}  // namespace platform::hardware
