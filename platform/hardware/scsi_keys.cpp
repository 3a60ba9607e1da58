// HARDWARE\DEVICEMAP\Scsi and SYSTEM\CurrentControlSet\Enum\SCSI from the SCSI hosts
// (/sys/class/scsi_host) and their devices (/sys/bus/scsi/devices/H:C:T:L).
#include <algorithm>
#include <set>
#include <tuple>

#include "platform/format.h"
#include "platform/hardware/parts.h"
#include "platform/hardware/sysfs.h"
#include "platform/text.h"

namespace platform::hardware {
namespace {

constexpr long kNoInitiator = 255;

struct ScsiAddress {
  long host, channel, target, lun;
  auto operator<=>(const ScsiAddress&) const = default;
};

struct ScsiDevice {
  ScsiAddress address;
  std::string vendor, model, rev;  // as the inquiry data holds them, padded
  ScsiType type;
  std::optional<BoundDriver> driver;
};

std::optional<ScsiAddress> ParseAddress(const std::string& name) {
  long parts[4];
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t end = i < 3 ? name.find(':', start) : name.size();
    if (end == std::string::npos) return std::nullopt;
    const std::optional<long> part = ParseDecimal(std::string_view(name).substr(start, end - start));
    if (!part || *part < 0) return std::nullopt;
    parts[i] = *part;
    start = end + 1;
  }
  return ScsiAddress{parts[0], parts[1], parts[2], parts[3]};
}

std::string Fixed(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

// A name part of Enum\SCSI: trimmed, spaces as '_'.
std::string IdPart(std::string_view text) {
  std::string part = KeyNameOf(text::Trim(text));
  std::replace(part.begin(), part.end(), ' ', '_');
  return part;
}

std::vector<ScsiDevice> ReadDevices(const std::filesystem::path& folder) {
  std::vector<ScsiDevice> devices;
  for (const std::string& name : SortedEntries(folder)) {
    const std::optional<ScsiAddress> address = ParseAddress(name);
    if (!address) continue;
    const std::filesystem::path dir = folder / name;
    const auto vendor = ReadAttribute(dir / "vendor"), model = ReadAttribute(dir / "model"),
               rev = ReadAttribute(dir / "rev");
    const auto type_text = ReadAttribute(dir / "type");
    const std::optional<long> type = type_text ? ParseDecimal(*type_text) : std::nullopt;
    if (!vendor || !model || !rev || !type) continue;
    devices.push_back({*address, *vendor, *model, *rev, ScsiTypeOf(*type), DriverOf(dir)});
  }
  std::sort(devices.begin(), devices.end(),
            [](const ScsiDevice& a, const ScsiDevice& b) { return a.address < b.address; });
  return devices;
}

struct ScsiHost {
  std::optional<std::string> driver;
  long initiator = kNoInitiator;
};

std::map<long, ScsiHost> ReadHosts(const std::filesystem::path& folder) {
  std::map<long, ScsiHost> hosts;
  for (const std::string& name : SortedEntries(folder)) {
    const std::optional<long> number =
        name.starts_with("host") ? ParseDecimal(std::string_view(name).substr(4)) : std::nullopt;
    if (!number || *number < 0) continue;
    ScsiHost& host = hosts[*number];
    const std::optional<std::string> driver = ReadAttribute(folder / name / "proc_name");
    if (driver && !text::Trim(*driver).empty()) host.driver = std::string(text::Trim(*driver));
    const std::optional<std::string> id = ReadAttribute(folder / name / "this_id");
    const std::optional<long> initiator = id ? ParseDecimal(*id) : std::nullopt;
    if (initiator && *initiator >= 0 && *initiator < kNoInitiator) host.initiator = *initiator;
  }
  return hosts;
}

hive::Key& BusKey(hive::Key& port, long channel, const ScsiHost& host) {
  hive::Key& bus = KeyAt(port, {Format("Scsi Bus %ld", channel)});
  KeyAt(bus, {Format("Initiator Id %ld", host.initiator)});
  return bus;
}

void AddDeviceMap(const std::map<long, ScsiHost>& hosts, const std::vector<ScsiDevice>& devices, hive::Key& machine) {
  const std::vector<std::string> base = PathNames("HARDWARE\\DEVICEMAP\\Scsi");
  KeyAt(machine, base);  // present without ports too: the NT layout, with no SCSI device
  std::set<long> numbers;
  for (const auto& [number, host] : hosts) numbers.insert(number);
  for (const ScsiDevice& device : devices) numbers.insert(device.address.host);
  for (long number : numbers) {
    const auto found = hosts.find(number);
    const ScsiHost host = found == hosts.end() ? ScsiHost{} : found->second;
    hive::Key& port = KeyAt(machine, base, {Format("Scsi Port %ld", number)});
    if (host.driver) port.SetValue("Driver", RegValue::String(*host.driver));
    BusKey(port, 0, host);
    for (const ScsiDevice& device : devices) {
      if (device.address.host != number) continue;
      hive::Key& unit =
          KeyAt(BusKey(port, device.address.channel, host),
                {Format("Target Id %ld", device.address.target), Format("Logical Unit Id %ld", device.address.lun)});
      unit.SetValue("Identifier",
                    RegValue::String(Fixed(device.vendor, 8) + Fixed(device.model, 16) + Fixed(device.rev, 4)));
      unit.SetValue("Type", RegValue::String(device.type.peripheral));
    }
  }
}

void AddEnumKeys(const std::vector<ScsiDevice>& devices, DriverKeys& drivers) {
  const std::vector<std::string> base = PathNames("SYSTEM\\CurrentControlSet\\Enum\\SCSI");
  for (const ScsiDevice& device : devices) {
    const std::string id = Format("%s&Ven_%s&Prod_%s&Rev_%s", device.type.enum_prefix, IdPart(device.vendor).c_str(),
                                  IdPart(device.model).c_str(), IdPart(device.rev).c_str());
    const ScsiAddress& a = device.address;
    const std::vector<std::string> path =
        Under(base, {KeyNameOf(id), Format("%ld&%ld&%ld&%ld", a.host, a.channel, a.target, a.lun)});
    const std::string description =
        std::string(text::Trim(device.vendor)) + " " + std::string(text::Trim(device.model));
    drivers.Describe(path, device.type.device_class, std::string(text::Trim(description)),
                     device.driver ? std::optional<std::string>(device.driver->module) : std::nullopt);
  }
}

}  // namespace

void AddScsiKeys(const HardwareRoots& roots, hive::Key& machine, DriverKeys& drivers) {
  const std::vector<ScsiDevice> devices = ReadDevices(roots.sys / "bus/scsi/devices");
  const std::map<long, ScsiHost> hosts = ReadHosts(roots.sys / "class/scsi_host");
  AddDeviceMap(hosts, devices, machine);
  AddEnumKeys(devices, drivers);
}

}  // namespace platform::hardware
