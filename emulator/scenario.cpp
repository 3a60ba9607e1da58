#include "emulator/scenario.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <map>
#include <set>

#include "emulator/scenario_reader.h"
#include "emulator/scenario_state.h"
#include "emulator/scenario_values.h"
#include "platform/file_io.h"
#include "platform/format.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace emulator {
namespace {

namespace text = platform::text;
using platform::ProfileFile;

constexpr size_t kMaxFileBytes = 4 << 20;
constexpr std::string_view kDevicePrefix = "device.";
constexpr std::string_view kFaultPrefix = "fault.";
constexpr std::string_view kTimelinePrefix = "timeline.";

using DeviceMap = std::map<std::string, DeviceBuilder*>;  // by lower-case name

std::u16string Wide(const std::string& s) { return text::Utf8ToUtf16(s); }

void LoadBus(const ScenarioReader& r, BusBuilder& builder) {
  const auto status = r.Number<uint8_t>("AspiStatus");
  const auto adapters = r.Number<uint8_t>("AspiHostAdapters");
  builder.AspiSupport(status, adapters);
  if (auto hr = r.Result("StiCreateResult")) builder.StiCreateResult(*hr);
  r.WarnUnknownKeys({"aspistatus", "aspihostadapters", "sticreateresult"});
}

void LoadIdentity(const ScenarioReader& r, DeviceBuilder& d) {
  if (auto v = r.Number<uint8_t>("PeripheralType", 31)) d.PeripheralType(*v);
  if (auto v = r.Text("Vendor")) d.Vendor(*v);
  if (auto v = r.Text("Product")) d.Product(*v);
  if (auto v = r.Text("Revision")) d.Revision(*v);
  if (auto v = r.Bytes("Inquiry")) {
    if (v->size() != kInquirySize) r.Warn(platform::Format("Inquiry has %zu bytes, not 96: cut or zero-filled", v->size()));
    std::array<uint8_t, kInquirySize> raw{};
    std::copy_n(v->begin(), std::min(v->size(), raw.size()), raw.begin());
    d.RawInquiry(raw);
  }
}

enum class StillImageKind { kNone, kScsi, kUsb };

void LoadAttachment(const ScenarioReader& r, DeviceBuilder& d) {
  if (auto p = r.Pair("Aspi", 255, false)) d.OnAspi(static_cast<uint8_t>(p->first), static_cast<uint8_t>(p->second));
  static const std::map<std::string, StillImageKind> kKinds = {
      {"none", StillImageKind::kNone}, {"scsi", StillImageKind::kScsi}, {"usb", StillImageKind::kUsb}};
  const auto kind = r.Choice("StillImage", kKinds, "usb, scsi or none").value_or(StillImageKind::kNone);
  if (kind == StillImageKind::kScsi) d.OnStiScsi();
  if (kind == StillImageKind::kUsb) d.OnStiUsb();
}

void LoadDriver(const ScenarioReader& r, DeviceBuilder& d) {
  if (auto v = r.Text("InternalName")) d.InternalName(Wide(*v));
  if (auto v = r.Text("VendorDescription")) d.VendorDescription(Wide(*v));
  if (auto v = r.Text("DeviceDescription")) d.DeviceDescription(Wide(*v));
  if (auto v = r.Text("PortName")) d.PortName(Wide(*v));
  if (auto v = r.Number<uint8_t>("EscapeForm")) d.EscapeFormByte(*v);
  if (auto v = r.Number<uint8_t>("LockMode")) d.LockMode(*v);
  if (auto v = r.Number<uint8_t>("UsbSpeed")) d.UsbSpeed(*v);
  if (auto v = r.Text("DisableNotifications"); v && text::EqualsIgnoreCase(text::Trim(*v), "none")) {
    d.DisableNotifications(std::nullopt);
  } else if (auto n = r.Number<platform::DWORD>("DisableNotifications")) {
    d.DisableNotifications(*n);
  }
  if (auto v = r.Text("ButtonApplications")) d.ButtonApplications(*v);
  if (auto v = r.Text("FeederApplications")) d.FeederApplications(*v);
}

void LoadDevice(const ScenarioReader& r, DeviceBuilder& d) {
  LoadIdentity(r, d);
  LoadAttachment(r, d);
  LoadDriver(r, d);
  LoadStateKeys(r, d);
  static const std::set<std::string> kKnown = [] {
    std::set<std::string> known = {"peripheraltype", "vendor", "product", "revision", "inquiry", "aspi", "stillimage",
                                   "internalname", "vendordescription", "devicedescription", "portname", "escapeform",
                                   "lockmode", "usbspeed", "disablenotifications", "buttonapplications",
                                   "feederapplications", "flatbedunit"};
    known.merge(DeviceKeyNames());
    return known;
  }();
  r.WarnUnknownKeys(kKnown, {kReadPrefix, kReadLengthPrefix, kWriteLengthPrefix});
}

enum class FaultName {
  kSense, kBusy, kTransport, kNoAnswer, kShort, kGarbage, kZero, kEscape, kLock, kOffline, kUnplug, kCreate
};

CommandMatch MatchOf(const ScenarioReader& r) {
  return {r.Number<uint8_t>("Opcode"), r.Number<uint8_t>("DataType")};
}

Sense SenseOf(const ScenarioReader& r) {
  Sense s;
  s.key = r.Number<uint8_t>("SenseKey", 15).value_or(0);
  s.asc = r.Number<uint8_t>("Asc").value_or(0);
  s.ascq = r.Number<uint8_t>("Ascq").value_or(0);
  s.information = r.Number<uint32_t>("Information").value_or(0);
  s.end_of_medium = r.Number<uint8_t>("Eom", 1).value_or(0) != 0;
  s.incorrect_length = r.Number<uint8_t>("Ili", 1).value_or(0) != 0;
  return s;
}

// The declared device a section's Device key names; null, reported, when none.
DeviceBuilder* NamedDevice(const ScenarioReader& r, const DeviceMap& devices, const char* what) {
  const std::optional<std::string> name = r.Text("Device");
  auto device = name ? devices.find(text::ToLowerAscii(*name)) : devices.end();
  if (device != devices.end()) return device->second;
  r.Warn(std::string("Device names no declared device: ") + what + " ignored");
  return nullptr;
}

void LoadFlatbedUnit(const ScenarioReader& r, DeviceBuilder& scanner, const DeviceMap& devices) {
  const std::optional<std::string> name = r.Text("FlatbedUnit");
  if (!name) return;
  auto unit = devices.find(text::ToLowerAscii(*name));
  if (unit == devices.end() || unit->second == &scanner) {
    r.Warn("FlatbedUnit=" + *name + ": names no other declared device, ignored");
    return;
  }
  scanner.FlatbedUnit(unit->second->name());
}

void LoadFault(const ScenarioReader& r, const DeviceMap& devices) {
  r.WarnUnknownKeys({"device", "kind", "opcode", "datatype", "times", "sensekey", "asc", "ascq", "information", "eom",
                     "ili", "bytes", "code", "result", "after"});
  DeviceBuilder* device = NamedDevice(r, devices, "fault");
  if (!device) return;
  static const std::map<std::string, FaultName> kKinds = {
      {"sense", FaultName::kSense},       {"busy", FaultName::kBusy},       {"transport", FaultName::kTransport},
      {"noanswer", FaultName::kNoAnswer}, {"short", FaultName::kShort},     {"garbage", FaultName::kGarbage},
      {"zero", FaultName::kZero},         {"escape", FaultName::kEscape},   {"lock", FaultName::kLock},
      {"offline", FaultName::kOffline},   {"unplug", FaultName::kUnplug},   {"create", FaultName::kCreate}};
  const std::optional<FaultName> kind = r.Choice("Kind", kKinds, "a fault kind");
  if (!kind) {
    if (!r.Text("Kind")) r.Warn("Kind missing: fault ignored");
    return;
  }
  DeviceBuilder& d = *device;
  const bool lasting = *kind == FaultName::kNoAnswer || *kind == FaultName::kLock;
  const int times = r.Times("Times").value_or(lasting ? kAlways : 1);
  const uint32_t bytes = r.Number<uint32_t>("Bytes").value_or(0);
  const platform::HRESULT result = r.Result("Result").value_or(platform::E_FAIL);
  switch (*kind) {
    case FaultName::kSense: d.Fault(SenseFault(MatchOf(r), SenseOf(r), times, bytes)); break;
    case FaultName::kBusy: d.Fault(BusyFault(MatchOf(r), times)); break;
    case FaultName::kTransport: d.Fault(TransportErrorFault(MatchOf(r), times)); break;
    case FaultName::kNoAnswer: d.Fault(NoAnswerFault(MatchOf(r), times)); break;
    case FaultName::kShort: d.Fault(ShortAnswerFault(MatchOf(r), bytes, times)); break;
    case FaultName::kGarbage: d.Fault(GarbageAnswerFault(MatchOf(r), times)); break;
    case FaultName::kZero: d.Fault(ZeroAnswerFault(MatchOf(r), times)); break;
    case FaultName::kEscape:
      if (auto code = r.Number<platform::DWORD>("Code")) d.FailEscape(*code, result, times);
      else r.Warn("escape fault without a usable Code: ignored");
      break;
    case FaultName::kLock: d.LockHeldElsewhere(times); break;
    case FaultName::kOffline: d.Offline(); break;
    case FaultName::kUnplug:
      if (!r.Text("After")) r.Warn("After missing: unplugged at the first request");
      d.UnplugAfter(r.Number<uint32_t>("After").value_or(0));
      break;
    case FaultName::kCreate: d.FailCreate(result, times); break;
  }
}

// Unplug=1 and Plug=1 are actions; 0 is none.
bool ActionFlag(const ScenarioReader& r, std::string_view key) {
  const std::optional<uint8_t> v = r.Number<uint8_t>(key, 1);
  if (v == 0) r.Warn(std::string(key) + "=0 does nothing: ignored");
  return v == 1;
}

std::optional<uint64_t> StepTime(const ScenarioReader& r) {
  const std::optional<std::string> at = r.Text("At");
  const std::optional<uint64_t> ms = at ? ParseNumber(*at, std::numeric_limits<uint32_t>::max()) : std::nullopt;
  if (!ms) r.Warn(at ? "At=" + *at + ": expected a time in ms, step ignored" : "At missing: step ignored");
  return ms;
}

// One action a step: the state keys together, Unplug, Plug or LockHeldUntil.
void LoadTimelineStep(const ScenarioReader& r, const DeviceMap& devices) {
  static const std::set<std::string> kKnown = [] {
    std::set<std::string> known = {"device", "at", "unplug", "plug", "lockhelduntil"};
    known.merge(StateKeyNames());
    return known;
  }();
  r.WarnUnknownKeys(kKnown, {kReadPrefix});
  DeviceBuilder* device = NamedDevice(r, devices, "step");
  const std::optional<uint64_t> at = StepTime(r);
  if (!device || !at) return;
  std::vector<TimelineStep> steps;
  if (StateChange change = LoadStateChange(r); !change.empty()) steps.push_back(ChangeStep(*at, std::move(change)));
  if (ActionFlag(r, "Unplug")) steps.push_back(UnplugStep(*at));
  if (ActionFlag(r, "Plug")) steps.push_back(PlugStep(*at));
  if (auto until = r.Number<uint64_t>("LockHeldUntil", std::numeric_limits<uint32_t>::max())) {
    if (*until > *at) steps.push_back(HoldLockStep(*at, *until));
    else r.Warn("LockHeldUntil is not after At: ignored");
  }
  if (steps.size() != 1) {
    r.Warn(steps.empty() ? "no action: step ignored"
                         : "more than one action (state keys, Unplug, Plug, LockHeldUntil): step ignored");
    return;
  }
  device->Step(std::move(steps.front()));
}

void WarnDuplicates(const Bus& bus, std::vector<std::string>& warnings) {
  std::set<std::pair<int, int>> addresses;
  std::set<std::u16string> names;
  for (const auto& device : bus.Devices()) {
    const Attachment& a = device->attachment();
    if (a.aspi && !addresses.insert({a.aspi->host_adapter, a.aspi->target}).second)
      warnings.push_back("device " + device->name() + ": ASPI address already taken, unreachable there");
    if (a.sti && !names.insert(a.sti->internal_name).second)
      warnings.push_back("device " + device->name() + ": internal name already taken, unreachable by it");
  }
}

}  // namespace

void ApplyScenario(std::string_view bytes, BusBuilder& builder, std::vector<std::string>& warnings) {
  const ProfileFile file = ProfileFile::Parse(bytes);
  DeviceMap devices;
  std::vector<std::string> devices_in_order, faults, steps;
  for (const std::string& section : file.Sections()) {
    const ScenarioReader reader(file, section, warnings);
    if (text::EqualsIgnoreCase(section, "Bus")) {
      LoadBus(reader, builder);
    } else if (StartsWithIgnoreCase(section, kDevicePrefix)) {
      const std::string name = section.substr(kDevicePrefix.size());
      if (name.empty()) {
        reader.Warn("device without a name: ignored");
        continue;
      }
      DeviceBuilder& device = builder.Device(name);
      devices[text::ToLowerAscii(name)] = &device;
      devices_in_order.push_back(section);
      LoadDevice(reader, device);
    } else if (StartsWithIgnoreCase(section, kFaultPrefix)) {
      faults.push_back(section);  // after every device is known
    } else if (StartsWithIgnoreCase(section, kTimelinePrefix)) {
      steps.push_back(section);
    } else {
      reader.Warn("unknown section ignored");
    }
  }
  for (const std::string& section : devices_in_order) {
    const std::string name = text::ToLowerAscii(section.substr(kDevicePrefix.size()));
    LoadFlatbedUnit(ScenarioReader(file, section, warnings), *devices.at(name), devices);
  }
  for (const std::string& section : faults) LoadFault(ScenarioReader(file, section, warnings), devices);
  for (const std::string& section : steps) LoadTimelineStep(ScenarioReader(file, section, warnings), devices);
}

Scenario LoadScenario(std::string_view bytes) {
  Scenario scenario;
  BusBuilder builder;
  ApplyScenario(bytes, builder, scenario.warnings);
  scenario.bus = builder.Build();
  WarnDuplicates(*scenario.bus, scenario.warnings);
  return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
  std::optional<std::string> bytes = platform::files::ReadFileUpTo(path, kMaxFileBytes + 1);
  if (!bytes) return {std::make_shared<Bus>(), {"cannot read " + path}};
  const bool cut = bytes->size() > kMaxFileBytes;
  if (cut) bytes->resize(kMaxFileBytes);
  Scenario scenario = LoadScenario(*bytes);
  if (cut) scenario.warnings.push_back(platform::Format("%s: only the first %zu bytes read", path.c_str(), kMaxFileBytes));
  return scenario;
}

}  // namespace emulator
