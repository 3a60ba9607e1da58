#include "emulator/state_file.h"

#include "emulator/model_profile.h"
#include "emulator/scenario_reader.h"
#include "emulator/scenario_state.h"
#include "platform/file_io.h"
#include "platform/format.h"
#include "platform/profile.h"

namespace emulator {
namespace {

constexpr std::string_view kDevicePrefix = "Device.";

std::string DeviceSection(const EmulatedDevice& device) {
  const ScannerState s = device.State();
  const Counters& c = s.counters;
  std::string text = "[Device." + device.name() + "]\r\n";
  text += platform::Format("SleepMinutes=%u\r\nPowerOffMinutes=%u\r\n", s.sleep.sleep_minutes, s.sleep.power_off_minutes);
  text += platform::Format("PaperMode=%u\r\nBuzzer=%u\r\n", s.paper_mode, s.buzzer);
  // Only where the model answers it: the key would make others answer too.
  if (device.Profile().Find(kOpVendorRead, 0xA2))
    text += platform::Format("CompatibleMode=%u,%u\r\n", s.compatible_mode[0], s.compatible_mode[1]);
  text += platform::Format("CleanCount=%u\r\nReplaceCount=%u\r\nPaperFeedCount=%u\r\n", c.after_clean, c.after_replace,
                           c.paper_feed);
  text += platform::Format("CleanThreshold=%u\r\nReplaceThreshold=%u\r\nPaperFeedThreshold=%u\r\n", c.clean_threshold,
                           c.replace_threshold, c.paper_feed_threshold);
  text += platform::Format("FlatbedSleep=%u\r\n", s.flatbed.sleep_minutes);
  return text;
}

}  // namespace

std::filesystem::path StateFilePath(const std::filesystem::path& scenario) {
  return std::filesystem::path(scenario.string() + ".state");
}

std::string StateFileText(const Bus& bus) {
  std::string text = "; Written by the emulator: what the utility changed in its scanners.\r\n";
  for (const auto& device : bus.Devices()) text += DeviceSection(*device) + "\r\n";
  return text;
}

void ApplyStateFile(std::string_view text, Bus& bus, std::vector<std::string>& warnings) {
  const platform::ProfileFile file = platform::ProfileFile::Parse(text);
  for (const std::string& section : file.Sections()) {
    if (!StartsWithIgnoreCase(section, kDevicePrefix)) {
      warnings.push_back("state file: [" + section + "] ignored");
      continue;
    }
    const std::string name = section.substr(kDevicePrefix.size());
    std::shared_ptr<EmulatedDevice> device = bus.Find(name);
    if (!device) {
      warnings.push_back("state file: no device " + name);
      continue;
    }
    ScenarioReader reader(file, section, warnings);
    const std::set<std::string> known = StateKeyNames();
    for (const std::string& key : file.Keys(section)) {
      if (!known.count(platform::text::ToLowerAscii(key))) warnings.push_back("state file: [" + section + "] unknown key " + key);
    }
    device->ApplyChange(LoadStateChange(reader));
  }
}

bool SaveStateFile(const Bus& bus, const std::filesystem::path& scenario) {
  return platform::files::WriteFileAtomically(StateFilePath(scenario), StateFileText(bus));
}

}  // namespace emulator
