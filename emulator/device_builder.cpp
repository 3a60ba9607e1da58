#include "emulator/device_builder.h"

#include "emulator/default_state.h"
#include "emulator/model_table.h"
#include "emulator/state_blocks.h"

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

DeviceBuilder& DeviceBuilder::Model(uint8_t model_code) { model_ = model_code; return *this; }

DeviceBuilder& DeviceBuilder::AcceptLengths(uint8_t opcode, uint8_t data_type, std::vector<uint32_t> lengths) {
  const bool any = lengths.empty();
  lengths_[{opcode, data_type}] = Lengths{std::move(lengths), any, false};
  return *this;
}

DeviceBuilder& DeviceBuilder::Edit(StateEdit edit) {
  edits_.push_back(std::move(edit));
  return *this;
}

DeviceBuilder& DeviceBuilder::Change(const StateChange& change) {
  edits_.insert(edits_.end(), change.edits.begin(), change.edits.end());
  answers_compatible_mode_ = answers_compatible_mode_ || change.answers_compatible_mode;
  return *this;
}

DeviceBuilder& DeviceBuilder::CompatibleMode(uint8_t code, uint8_t second) {
  answers_compatible_mode_ = true;
  return Edit([=](ScannerState& s) { s.compatible_mode = {code, second}; });
}

DeviceBuilder& DeviceBuilder::VendorRead(uint8_t data_type, std::vector<uint8_t> answer) {
  return Edit([data_type, answer = std::move(answer)](ScannerState& s) { s.vendor_reads[data_type] = answer; });
}

DeviceBuilder& DeviceBuilder::Status(uint32_t code, std::array<uint8_t, 4> status_bytes, uint8_t state_byte) {
  return Edit([=](ScannerState& s) { s.status = {state_byte, status_bytes, code}; });
}

DeviceBuilder& DeviceBuilder::Caution(const CautionReport& report) {
  return Edit([=](ScannerState& s) { s.caution = ForcedCautions(report); });
}

DeviceBuilder& DeviceBuilder::SystemCounts(uint32_t system, uint32_t flatbed) {
  return Edit([=](ScannerState& s) {
    s.counters.system = system;
    s.counters.flatbed = flatbed;
  });
}

DeviceBuilder& DeviceBuilder::RollerCounts(uint32_t after_clean, uint32_t after_replace, uint32_t paper_feed) {
  return Edit([=](ScannerState& s) {
    s.counters.after_clean = after_clean;
    s.counters.after_replace = after_replace;
    s.counters.paper_feed = paper_feed;
  });
}

DeviceBuilder& DeviceBuilder::Thresholds(uint32_t clean, uint32_t replace, uint32_t paper_feed) {
  return Edit([=](ScannerState& s) {
    s.counters.clean_threshold = clean;
    s.counters.replace_threshold = replace;
    s.counters.paper_feed_threshold = paper_feed;
  });
}

DeviceBuilder& DeviceBuilder::Sleep(uint8_t minutes, uint8_t power_off_minutes) {
  return Edit([=](ScannerState& s) { s.sleep = {minutes, power_off_minutes}; });
}

DeviceBuilder& DeviceBuilder::PaperMode(uint8_t mode) {
  return Edit([=](ScannerState& s) { s.paper_mode = mode; });
}

DeviceBuilder& DeviceBuilder::Buzzer(uint8_t on) {
  return Edit([=](ScannerState& s) { s.buzzer = on; });
}

DeviceBuilder& DeviceBuilder::Memory(uint16_t memory_mb, uint16_t back_memory_mb) {
  return Edit([=](ScannerState& s) {
    s.config.memory_mb = memory_mb;
    s.config.back_memory_mb = back_memory_mb;
  });
}

DeviceBuilder& DeviceBuilder::Imprinters(bool pre, bool post) {
  return Edit([=](ScannerState& s) {
    s.config.pre_imprinter = pre;
    s.config.post_imprinter = post;
  });
}

DeviceBuilder& DeviceBuilder::PowerOffCapability(bool on) {
  return Edit([=](ScannerState& s) { s.config.power_off = on; });
}

DeviceBuilder& DeviceBuilder::OneSided(bool on) {
  return Edit([=](ScannerState& s) { s.config.one_sided = on; });
}

DeviceBuilder& DeviceBuilder::FlatbedAttached(bool on) {
  return Edit([=](ScannerState& s) { s.flatbed.attached = on; });
}

DeviceBuilder& DeviceBuilder::FlatbedUnit(std::string device_name) {
  setup_.flatbed_unit = std::move(device_name);
  return *this;
}

DeviceBuilder& DeviceBuilder::Step(TimelineStep step) {
  setup_.timeline.push_back(std::move(step));
  return *this;
}

DeviceBuilder& DeviceBuilder::At(uint64_t ms, StateEdit edit) { return At(ms, StateChange{{std::move(edit)}, false}); }
DeviceBuilder& DeviceBuilder::At(uint64_t ms, StateChange change) { return Step(ChangeStep(ms, std::move(change))); }
DeviceBuilder& DeviceBuilder::UnplugAt(uint64_t ms) { return Step(UnplugStep(ms)); }
DeviceBuilder& DeviceBuilder::PlugAt(uint64_t ms) { return Step(PlugStep(ms)); }
DeviceBuilder& DeviceBuilder::LockHeldBetween(uint64_t from_ms, uint64_t until_ms) {
  return Step(HoldLockStep(from_ms, until_ms));
}
DeviceBuilder& DeviceBuilder::FlatbedAt(uint64_t ms, bool attached) {
  return At(ms, [attached](ScannerState& s) { s.flatbed.attached = attached; });
}

DeviceBuilder& DeviceBuilder::Firmware(std::string version) {
  return Edit([version = std::move(version)](ScannerState& s) { s.versions.firmware = version; });
}

DeviceBuilder& DeviceBuilder::IdentityText(std::string text) {
  return Edit([text = std::move(text)](ScannerState& s) { s.identity_text = text; });
}

DeviceBuilder& DeviceBuilder::NoPaper() {
  return Edit([](ScannerState& s) { s.scan.paper_loaded = false; });
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
  const std::string product = setup.raw_inquiry ? std::string(setup.raw_inquiry->begin() + 16, setup.raw_inquiry->begin() + 32)
                                                : setup.identity.product;
  const uint8_t model = model_.value_or(ModelCodeForProduct(product));
  setup.profile = ProfileForModel(model);
  for (const auto& [command, lengths] : lengths_) setup.profile.Set(command.first, command.second, lengths);
  if (answers_compatible_mode_) AnswerCompatibleMode(setup.profile);
  setup.state = DefaultState(model);
  for (const auto& edit : edits_) edit(setup.state);
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
