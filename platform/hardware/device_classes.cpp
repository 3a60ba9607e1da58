#include "platform/hardware/device_classes.h"

#include <algorithm>
#include <iterator>

namespace platform::hardware {

const DeviceClass kScsiAdapterClass{"SCSIAdapter", "{4D36E97B-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kHdcClass{"hdc", "{4D36E96A-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kNetClass{"Net", "{4D36E972-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kDisplayClass{"Display", "{4D36E968-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kMediaClass{"MEDIA", "{4D36E96C-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kSystemClass{"System", "{4D36E97D-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kUsbClass{"USB", "{36FC9E60-C465-11CF-8056-444553540000}"};
const DeviceClass kHidClass{"HIDClass", "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}"};
const DeviceClass kImageClass{"Image", "{6BDD1FC6-810F-11D0-BEC7-08002BE10318}", false};
const DeviceClass kDiskDriveClass{"DiskDrive", "{4D36E967-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kCdRomClass{"CDROM", "{4D36E965-E325-11CE-BFC1-08002BE10318}"};
const DeviceClass kTapeDriveClass{"TapeDrive", "{6D807884-7D21-11CF-801C-08002BE10318}"};
const DeviceClass kMediumChangerClass{"MediumChanger", "{CE5939AE-EBDE-11D0-B181-0000F8753EC4}"};

namespace {

constexpr int kAnySubclass = -1;

struct PciClassRow {
  int base;
  int subclass;
  PciClass pci_class;
};

const PciClassRow kPciClasses[] = {
    {0x01, 0x00, {&kScsiAdapterClass, "SCSI storage controller"}},
    {0x01, 0x01, {&kHdcClass, "IDE interface"}},
    {0x01, 0x04, {&kScsiAdapterClass, "RAID bus controller"}},
    {0x01, 0x06, {&kScsiAdapterClass, "SATA controller"}},
    {0x01, 0x07, {&kScsiAdapterClass, "Serial Attached SCSI controller"}},
    {0x01, 0x08, {&kScsiAdapterClass, "Non-Volatile memory controller"}},
    {0x01, kAnySubclass, {&kScsiAdapterClass, "Mass storage controller"}},
    {0x02, kAnySubclass, {&kNetClass, "Network controller"}},
    {0x03, kAnySubclass, {&kDisplayClass, "Display controller"}},
    {0x04, kAnySubclass, {&kMediaClass, "Multimedia controller"}},
    {0x06, kAnySubclass, {&kSystemClass, "Bridge"}},
    {0x0C, 0x03, {&kUsbClass, "USB controller"}},
};

const ScsiType kScsiTypes[] = {
    {"Disk", "DiskPeripheral", &kDiskDriveClass},
    {"Sequential", "TapePeripheral", &kTapeDriveClass},
    {"Printer", "PrinterPeripheral", nullptr},
    {"Processor", "OtherPeripheral", nullptr},
    {"Worm", "WormPeripheral", &kCdRomClass},
    {"CdRom", "CdRomPeripheral", &kCdRomClass},
    {"Scanner", "ScannerPeripheral", &kImageClass},
    {"Optical", "OpticalDiskPeripheral", &kDiskDriveClass},
    {"Changer", "MediumChangerPeripheral", &kMediumChangerClass},
    {"Net", "CommunicationsPeripheral", nullptr},
};
constexpr ScsiType kOtherScsiType{"Other", "OtherPeripheral", nullptr};

}  // namespace

PciClass PciClassOf(uint16_t code) {
  const int base = code >> 8, subclass = code & 0xFF;
  for (const PciClassRow& row : kPciClasses)
    if (row.base == base && (row.subclass == subclass || row.subclass == kAnySubclass)) return row.pci_class;
  return {nullptr, "PCI device"};
}

const DeviceClass* UsbClassOf(uint8_t device_class, std::optional<uint8_t> interface_class) {
  constexpr uint8_t kPerInterface = 0x00, kMiscellaneous = 0xEF;  // both leave the class to the interfaces
  const bool per_interface = device_class == kPerInterface || device_class == kMiscellaneous;
  const uint8_t code = per_interface ? interface_class.value_or(0) : device_class;
  switch (code) {
    case 0x01:
      return &kMediaClass;
    case 0x03:
      return &kHidClass;
    case 0x06:
      return &kImageClass;
    case 0x07:
    case 0x08:
    case 0x09:
      return &kUsbClass;
    default:
      return nullptr;
  }
}

ScsiType ScsiTypeOf(long type) {
  if (type < 0 || type >= static_cast<long>(std::size(kScsiTypes))) return kOtherScsiType;
  return kScsiTypes[type];
}

}  // namespace platform::hardware
