// C++ construction of devices and buses for tests; scenario files go through the
// same calls.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/bus.h"
#include "emulator/device_setup.h"
#include "emulator/faults.h"
#include "emulator/state_change.h"
#include "emulator/timeline_step.h"

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

  // Model: the product picks it from the device's own table; Model names one
  // outright (a product of another family answers no vendor command without it).
  DeviceBuilder& Model(uint8_t model_code);
  // The transfer lengths a data type answers, in place of the profile's; an
  // empty list accepts any length.
  DeviceBuilder& AcceptLengths(uint8_t opcode, uint8_t data_type, std::vector<uint32_t> lengths);

  // Scanner state: the model's defaults, then these changes in the order given.
  DeviceBuilder& Edit(StateEdit edit);
  DeviceBuilder& Change(const StateChange& change);
  // Also makes a model without the compatible-mode read answer it.
  DeviceBuilder& CompatibleMode(uint8_t code, uint8_t second);
  // Raw answer of a vendor read; it wins over the state and the profile.
  DeviceBuilder& VendorRead(uint8_t data_type, std::vector<uint8_t> answer);
  DeviceBuilder& Status(uint32_t code, std::array<uint8_t, 4> status_bytes = {}, uint8_t state_byte = 0);
  // The whole caution report, the roller bytes forced whatever the counts.
  DeviceBuilder& Caution(const CautionReport& report);
  DeviceBuilder& SystemCounts(uint32_t system, uint32_t flatbed = 0);
  DeviceBuilder& RollerCounts(uint32_t after_clean, uint32_t after_replace, uint32_t paper_feed = 0);
  DeviceBuilder& Thresholds(uint32_t clean, uint32_t replace, uint32_t paper_feed = 0);
  DeviceBuilder& Sleep(uint8_t minutes, uint8_t power_off_minutes = 30);  // 0: timer off
  DeviceBuilder& PaperMode(uint8_t mode);
  DeviceBuilder& Buzzer(uint8_t on);
  DeviceBuilder& Memory(uint16_t memory_mb, uint16_t back_memory_mb = 0);  // configuration bytes 2-3, 16-17
  DeviceBuilder& Imprinters(bool pre, bool post);
  DeviceBuilder& PowerOffCapability(bool on = true);
  DeviceBuilder& OneSided(bool on = true);
  DeviceBuilder& FlatbedAttached(bool on = true);
  // The device of that name on the same bus is this scanner's flatbed unit: present
  // exactly while this scanner reports the unit attached.
  DeviceBuilder& FlatbedUnit(std::string device_name);
  DeviceBuilder& Firmware(std::string version);
  DeviceBuilder& IdentityText(std::string text);
  DeviceBuilder& NoPaper();

  // Faults.
  DeviceBuilder& Fault(const CommandFault& fault);
  DeviceBuilder& FailEscape(platform::DWORD code, platform::HRESULT result = platform::E_FAIL, int times = 1);
  DeviceBuilder& LockHeldElsewhere(int times = kAlways);
  DeviceBuilder& Offline();
  DeviceBuilder& UnplugAfter(uint32_t requests);
  DeviceBuilder& FailCreate(platform::HRESULT result = platform::E_FAIL, int times = 1);

  // Timeline, in ms after the bus's creation on the platform clock; steps of the
  // same time run in the order given.
  DeviceBuilder& At(uint64_t ms, StateEdit edit);
  DeviceBuilder& At(uint64_t ms, StateChange change);
  DeviceBuilder& UnplugAt(uint64_t ms);
  DeviceBuilder& PlugAt(uint64_t ms);
  // Another program holds the lock from one time until the other.
  DeviceBuilder& LockHeldBetween(uint64_t from_ms, uint64_t until_ms);
  // The flatbed unit comes (configuration bit, flatbed commands, and the unit's own
  // device when FlatbedUnit names one) or goes.
  DeviceBuilder& FlatbedAt(uint64_t ms, bool attached);
  DeviceBuilder& Step(TimelineStep step);

  const std::string& name() const { return setup_.name; }
  DeviceSetup Build() const;

 private:
  DeviceSetup setup_;
  StiDriver driver_;
  bool on_still_image_ = false;
  std::optional<uint8_t> model_;
  std::map<std::pair<uint8_t, uint8_t>, Lengths> lengths_;
  bool answers_compatible_mode_ = false;
  std::vector<StateEdit> edits_;
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
