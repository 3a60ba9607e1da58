// C++ construction of devices and buses for tests; scenario files go through the
// same calls.
#pragma once
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/bus.h"
#include "emulator/device_setup.h"
#include "emulator/faults.h"

namespace emulator {

class DeviceBuilder {
 public:
  explicit DeviceBuilder(std::string name);

  // Identity (INQUIRY).
  DeviceBuilder& PeripheralType(uint8_t type);
  DeviceBuilder& Vendor(std::string vendor);
  DeviceBuilder& Product(std::string product);
  DeviceBuilder& Revision(std::string revision);
  DeviceBuilder& RawInquiry(const std::array<uint8_t, kInquirySize>& bytes);

  // Attachment; a device may be on ASPI and the still-image service at once.
  DeviceBuilder& OnAspi(uint8_t host_adapter, uint8_t target);
  DeviceBuilder& OnStiScsi(std::u16string internal_name = {});
  DeviceBuilder& OnStiUsb(uint8_t usb_speed = 1, std::u16string internal_name = {});
  DeviceBuilder& NotOnStillImage();

  // Still-image driver answers; they take effect with OnStiScsi or OnStiUsb.
  DeviceBuilder& InternalName(std::u16string name);
  DeviceBuilder& VendorDescription(std::u16string text);
  DeviceBuilder& DeviceDescription(std::u16string text);
  DeviceBuilder& PortName(std::u16string text);
  DeviceBuilder& EscapeFormByte(uint8_t value);
  DeviceBuilder& LockMode(uint8_t value);
  DeviceBuilder& UsbSpeed(uint8_t value);
  DeviceBuilder& DisableNotifications(std::optional<platform::DWORD> value);
  DeviceBuilder& ButtonApplications(std::optional<std::string> list);
  DeviceBuilder& FeederApplications(std::optional<std::string> list);

  // Scanner state.
  DeviceBuilder& CompatibleMode(uint8_t code, uint8_t second);
  DeviceBuilder& VendorRead(uint8_t data_type, std::vector<uint8_t> answer);

  // Faults.
  DeviceBuilder& Fault(const CommandFault& fault);
  DeviceBuilder& FailEscape(platform::DWORD code, platform::HRESULT result = platform::E_FAIL, int times = 1);
  DeviceBuilder& LockHeldElsewhere(int times = kAlways);
  DeviceBuilder& Offline();
  DeviceBuilder& UnplugAfter(uint32_t requests);
  DeviceBuilder& FailCreate(platform::HRESULT result = platform::E_FAIL, int times = 1);

  const std::string& name() const { return setup_.name; }
  DeviceSetup Build() const;

 private:
  DeviceSetup setup_;
  StiDriver driver_;
  bool on_still_image_ = false;
};

class BusBuilder {
 public:
  // Adds a device at the end of the bus; the reference stays valid.
  DeviceBuilder& Device(std::string name);
  // The device builder of that name, or null.
  DeviceBuilder* Find(const std::string& name);
  BusBuilder& AspiSupport(std::optional<uint8_t> status, std::optional<uint8_t> host_adapters);
  BusBuilder& StiCreateResult(platform::HRESULT result);
  std::shared_ptr<Bus> Build() const;

 private:
  BusSettings settings_;
  std::deque<DeviceBuilder> devices_;
};

}  // namespace emulator
