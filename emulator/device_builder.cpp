#include "emulator/device_builder.h"

namespace emulator {

DeviceBuilder::DeviceBuilder(std::string name) { setup_.name = std::move(name); }

DeviceBuilder& DeviceBuilder::PeripheralType(uint8_t type) { setup_.identity.peripheral_type = type; return *this; }
DeviceBuilder& DeviceBuilder::Vendor(std::string vendor) { setup_.identity.vendor = std::move(vendor); return *this; }
DeviceBuilder& DeviceBuilder::Product(std::string product) { setup_.identity.product = std::move(product); return *this; }
DeviceBuilder& DeviceBuilder::Revision(std::string revision) { setup_.identity.revision = std::move(revision); return *this; }
DeviceBuilder& DeviceBuilder::RawInquiry(const std::array<uint8_t, kInquirySize>& bytes) {
  setup_.raw_inquiry = bytes;
  return *this;
}

DeviceBuilder& DeviceBuilder::OnAspi(uint8_t host_adapter, uint8_t target) {
  setup_.attachment.aspi = AspiAddress{host_adapter, target};
  return *this;
}

DeviceBuilder& DeviceBuilder::OnStiScsi(std::u16string internal_name) {
  on_still_image_ = true;
  driver_.bus = StiBus::kScsi;
  if (!internal_name.empty()) driver_.internal_name = std::move(internal_name);
  return *this;
}

DeviceBuilder& DeviceBuilder::OnStiUsb(uint8_t usb_speed, std::u16string internal_name) {
  on_still_image_ = true;
  driver_.bus = StiBus::kUsb;
  driver_.usb_speed = usb_speed;
  if (!internal_name.empty()) driver_.internal_name = std::move(internal_name);
  return *this;
}

DeviceBuilder& DeviceBuilder::NotOnStillImage() { on_still_image_ = false; return *this; }

DeviceBuilder& DeviceBuilder::InternalName(std::u16string name) { driver_.internal_name = std::move(name); return *this; }
DeviceBuilder& DeviceBuilder::VendorDescription(std::u16string text) { driver_.vendor_description = std::move(text); return *this; }
DeviceBuilder& DeviceBuilder::DeviceDescription(std::u16string text) { driver_.device_description = std::move(text); return *this; }
DeviceBuilder& DeviceBuilder::PortName(std::u16string text) { driver_.port_name = std::move(text); return *this; }
DeviceBuilder& DeviceBuilder::EscapeFormByte(uint8_t value) { driver_.escape_form_byte = value; return *this; }
DeviceBuilder& DeviceBuilder::LockMode(uint8_t value) { driver_.lock_mode = value; return *this; }
DeviceBuilder& DeviceBuilder::UsbSpeed(uint8_t value) { driver_.usb_speed = value; return *this; }
DeviceBuilder& DeviceBuilder::DisableNotifications(std::optional<platform::DWORD> value) {
  driver_.disable_notifications = value;
  return *this;
}
DeviceBuilder& DeviceBuilder::ButtonApplications(std::optional<std::string> list) {
  driver_.button_applications = std::move(list);
  return *this;
}
DeviceBuilder& DeviceBuilder::FeederApplications(std::optional<std::string> list) {
  driver_.feeder_applications = std::move(list);
  return *this;
}

DeviceBuilder& DeviceBuilder::CompatibleMode(uint8_t code, uint8_t second) {
  setup_.state.compatible_mode = {code, second};
  return *this;
}

DeviceBuilder& DeviceBuilder::VendorRead(uint8_t data_type, std::vector<uint8_t> answer) {
  setup_.state.vendor_reads[data_type] = std::move(answer);
  return *this;
}

DeviceBuilder& DeviceBuilder::Fault(const CommandFault& fault) { setup_.faults.commands.push_back(fault); return *this; }

DeviceBuilder& DeviceBuilder::FailEscape(platform::DWORD code, platform::HRESULT result, int times) {
  setup_.faults.escapes.push_back({code, result, times});
  return *this;
}

DeviceBuilder& DeviceBuilder::LockHeldElsewhere(int times) { setup_.faults.lock_held_elsewhere = times; return *this; }
DeviceBuilder& DeviceBuilder::Offline() { setup_.faults.offline = true; return *this; }
DeviceBuilder& DeviceBuilder::UnplugAfter(uint32_t requests) { setup_.faults.unplug_after = requests; return *this; }

DeviceBuilder& DeviceBuilder::FailCreate(platform::HRESULT result, int times) {
  setup_.faults.create_failures = times;
  setup_.faults.create_result = result;
  return *this;
}

DeviceSetup DeviceBuilder::Build() const {
  DeviceSetup setup = setup_;
  if (on_still_image_) setup.attachment.sti = driver_;
  return setup;
}

DeviceBuilder& BusBuilder::Device(std::string name) { return devices_.emplace_back(std::move(name)); }

DeviceBuilder* BusBuilder::Find(const std::string& name) {
  for (DeviceBuilder& device : devices_)
    if (device.name() == name) return &device;
  return nullptr;
}

BusBuilder& BusBuilder::AspiSupport(std::optional<uint8_t> status, std::optional<uint8_t> host_adapters) {
  settings_.aspi_status = status;
  settings_.aspi_host_adapters = host_adapters;
  return *this;
}

BusBuilder& BusBuilder::StiCreateResult(platform::HRESULT result) {
  settings_.sti_create_result = result;
  return *this;
}

std::shared_ptr<Bus> BusBuilder::Build() const {
  auto bus = std::make_shared<Bus>(settings_);
  for (const DeviceBuilder& device : devices_) bus->Add(device.Build());
  return bus;
}

}  // namespace emulator
