#include "emulator/scenario_state.h"

#include "emulator/model_profile.h"
#include "emulator/state_blocks.h"
#include "platform/format.h"

namespace emulator {
namespace {

using S = ScannerState;

struct NumberKey {
  const char* name;
  uint64_t max;
  void (*apply)(S&, uint64_t);
};

constexpr uint64_t kByte = 0xFF, kWord = 0xFFFF, kLong = 0xFFFFFFFF, kFlag = 1;

const NumberKey kNumberKeys[] = {
    {"StateByte", kByte, [](S& s, uint64_t v) { s.status.state = uint8_t(v); }},
    {"StatusCode", kLong, [](S& s, uint64_t v) { s.status.code = uint32_t(v); }},
    {"SystemCount", kLong, [](S& s, uint64_t v) { s.counters.system = uint32_t(v); }},
    {"FlatbedCount", kLong, [](S& s, uint64_t v) { s.counters.flatbed = uint32_t(v); }},
    {"CleanCount", kLong, [](S& s, uint64_t v) { s.counters.after_clean = uint32_t(v); }},
    {"ReplaceCount", kLong, [](S& s, uint64_t v) { s.counters.after_replace = uint32_t(v); }},
    {"PaperFeedCount", kLong, [](S& s, uint64_t v) { s.counters.paper_feed = uint32_t(v); }},
    {"CleanThreshold", kLong, [](S& s, uint64_t v) { s.counters.clean_threshold = uint32_t(v); }},
    {"ReplaceThreshold", kLong, [](S& s, uint64_t v) { s.counters.replace_threshold = uint32_t(v); }},
    {"PaperFeedThreshold", kLong, [](S& s, uint64_t v) { s.counters.paper_feed_threshold = uint32_t(v); }},
    {"SleepMinutes", kByte, [](S& s, uint64_t v) { s.sleep.sleep_minutes = uint8_t(v); }},
    {"PowerOffMinutes", kByte, [](S& s, uint64_t v) { s.sleep.power_off_minutes = uint8_t(v); }},
    {"PaperMode", kByte, [](S& s, uint64_t v) { s.paper_mode = uint8_t(v); }},
    {"Buzzer", kByte, [](S& s, uint64_t v) { s.buzzer = uint8_t(v); }},
    {"Memory", kWord, [](S& s, uint64_t v) { s.config.memory_mb = uint16_t(v); }},
    {"BackMemory", kWord, [](S& s, uint64_t v) { s.config.back_memory_mb = uint16_t(v); }},
    {"PreImprinter", kFlag, [](S& s, uint64_t v) { s.config.pre_imprinter = v != 0; }},
    {"PostImprinter", kFlag, [](S& s, uint64_t v) { s.config.post_imprinter = v != 0; }},
    {"PowerOff", kFlag, [](S& s, uint64_t v) { s.config.power_off = v != 0; }},
    {"CounterSetting", kFlag, [](S& s, uint64_t v) { s.config.counter_setting = v != 0; }},
    {"OneSided", kFlag, [](S& s, uint64_t v) { s.config.one_sided = v != 0; }},
    {"NoColorOption", kFlag, [](S& s, uint64_t v) { s.config.no_color_option = v != 0; }},
    {"FrontPlate", kFlag, [](S& s, uint64_t v) { s.config.front_plate = v != 0; }},
    {"BackPlate", kFlag, [](S& s, uint64_t v) { s.config.back_plate = v != 0; }},
    {"Terminator", kFlag, [](S& s, uint64_t v) { s.board.terminator = uint8_t(v); }},
    {"Flatbed", kFlag, [](S& s, uint64_t v) { s.flatbed.attached = v != 0; }},
    {"FlatbedStatusCode", kLong, [](S& s, uint64_t v) { s.flatbed.status.code = uint32_t(v); }},
    {"FlatbedSleep", kByte, [](S& s, uint64_t v) { s.flatbed.sleep_minutes = uint8_t(v); }},
    {"FlatbedOption", kByte, [](S& s, uint64_t v) { s.flatbed.option = uint8_t(v); }},
    {"ShadingSource", kByte, [](S& s, uint64_t v) { s.shading_source = uint8_t(v); }},
    {"FeedSpeed", kWord, [](S& s, uint64_t v) { s.feed_speed = uint16_t(v); }},
    {"Paper", kFlag, [](S& s, uint64_t v) { s.scan.paper_loaded = v != 0; }},
};

struct TextKey {
  const char* name;
  size_t width;
  void (*apply)(S&, const std::string&);
};

const TextKey kTextKeys[] = {
    {"Firmware", 4, [](S& s, const std::string& v) { s.versions.firmware = v; }},
    {"SecondVersion", 4, [](S& s, const std::string& v) { s.versions.second = v; }},
    {"ThirdVersion", 4, [](S& s, const std::string& v) { s.versions.third = v; }},
    {"FourthVersion", 4, [](S& s, const std::string& v) { s.versions.fourth = v; }},
    {"FifthVersion", 4, [](S& s, const std::string& v) { s.versions.fifth = v; }},
    {"FirmwareRevision", 1, [](S& s, const std::string& v) { s.board.firmware_revision = uint8_t(v.empty() ? 0 : v[0]); }},
    {"IdentityText", 16, [](S& s, const std::string& v) { s.identity_text = v; }},
};

struct BytesKey {
  const char* name;
  size_t count;
  void (*apply)(S&, const std::vector<uint8_t>&);
};

const BytesKey kBytesKeys[] = {
    {"StatusBytes", 4, [](S& s, const std::vector<uint8_t>& v) { std::copy_n(v.begin(), 4, s.status.bytes.begin()); }},
    {"Caution", 6,
     [](S& s, const std::vector<uint8_t>& v) {
       CautionReport report;
       std::copy_n(v.begin(), report.size(), report.begin());
       s.caution = ForcedCautions(report);
     }},
    {"FlatbedStatusBytes", 4,
     [](S& s, const std::vector<uint8_t>& v) { std::copy_n(v.begin(), 4, s.flatbed.status.bytes.begin()); }},
    {"IndividualSettings", 4,
     [](S& s, const std::vector<uint8_t>& v) { std::copy_n(v.begin(), 4, s.individual_settings.begin()); }},
};

// A roller byte of the caution report: forced to a value, or "auto", following the counts.
struct RollerKey {
  const char* name;
  std::optional<uint8_t> Cautions::*forced;
};

const RollerKey kRollerKeys[] = {
    {"CleanRollerCaution", &Cautions::clean_roller},
    {"ReplaceRollerCaution", &Cautions::replace_roller},
};

struct RollerSetting {
  std::optional<uint8_t> forced;  // nullopt: "auto"
};

std::optional<RollerSetting> ParseRollerSetting(std::string_view text) {
  if (platform::text::EqualsIgnoreCase(platform::text::Trim(text), "auto")) return RollerSetting{};
  const std::optional<uint64_t> n = ParseNumber(text, 0xFF);
  if (!n) return std::nullopt;
  return RollerSetting{static_cast<uint8_t>(*n)};
}

void LoadNumbers(const ScenarioReader& r, StateChange& c) {
  for (const NumberKey& key : kNumberKeys)
    if (auto v = r.Number<uint64_t>(key.name, key.max)) c.edits.push_back([apply = key.apply, v = *v](S& s) { apply(s, v); });
}

void LoadTexts(const ScenarioReader& r, StateChange& c) {
  for (const TextKey& key : kTextKeys) {
    std::optional<std::string> v = r.Text(key.name);
    if (!v) continue;
    if (v->size() > key.width) {
      r.Warn(platform::Format("%s has more than %zu characters: cut", key.name, key.width));
      v->resize(key.width);
    }
    c.edits.push_back([apply = key.apply, v = *v](S& s) { apply(s, v); });
  }
}

void LoadByteLists(const ScenarioReader& r, StateChange& c) {
  for (const BytesKey& key : kBytesKeys) {
    std::optional<std::vector<uint8_t>> v = r.Bytes(key.name);
    if (!v) continue;
    if (v->size() != key.count) r.Warn(platform::Format("%s takes %zu bytes: cut or zero-filled", key.name, key.count));
    v->resize(key.count);
    c.edits.push_back([apply = key.apply, v = *v](S& s) { apply(s, v); });
  }
}

// After Caution, so that a roller key of the same section wins over it.
void LoadRollerCautions(const ScenarioReader& r, StateChange& c) {
  for (const RollerKey& key : kRollerKeys) {
    const auto v = r.Get<RollerSetting>(key.name, "a number up to 255 or auto", ParseRollerSetting);
    if (v) c.edits.push_back([member = key.forced, forced = v->forced](S& s) { s.caution.*member = forced; });
  }
}

// The data type of a prefixed key, two hex digits with or without 0x.
std::optional<uint8_t> DataTypeOf(const ScenarioReader& r, const std::string& key, std::string_view prefix) {
  const auto hex = ParseHexBytes(std::string_view(key).substr(prefix.size()));
  if (hex && hex->size() == 1) return (*hex)[0];
  r.Warn("key " + key + ": expected a hex data type after the dot, ignored");
  return std::nullopt;
}

void LoadLengths(const ScenarioReader& r, DeviceBuilder& d) {
  for (const std::string& key : r.Keys()) {
    for (auto [prefix, opcode] : {std::pair{kReadLengthPrefix, kOpVendorRead}, std::pair{kWriteLengthPrefix, kOpVendorWrite}}) {
      if (!StartsWithIgnoreCase(key, prefix)) continue;
      const std::optional<uint8_t> type = DataTypeOf(r, key, prefix);
      std::optional<std::vector<uint32_t>> lengths = r.Get<std::vector<uint32_t>>(
          key, "lengths such as 16,24 or any", [](std::string_view v) { return ParseLengths(v); });
      if (type && lengths) d.AcceptLengths(opcode, *type, std::move(*lengths));
    }
  }
}

void LoadReadBlocks(const ScenarioReader& r, StateChange& c) {
  for (const std::string& key : r.Keys()) {
    if (!StartsWithIgnoreCase(key, kReadPrefix)) continue;
    const std::optional<uint8_t> type = DataTypeOf(r, key, kReadPrefix);
    auto bytes = r.Bytes(key);
    if (type && bytes) c.edits.push_back([type = *type, bytes = *bytes](S& s) { s.vendor_reads[type] = bytes; });
  }
}

void LoadCompatibleMode(const ScenarioReader& r, StateChange& c) {
  const auto p = r.Pair("CompatibleMode", 255, true);
  if (!p) return;
  const std::array<uint8_t, 2> codes = {static_cast<uint8_t>(p->first), static_cast<uint8_t>(p->second)};
  c.edits.push_back([codes](S& s) { s.compatible_mode = codes; });
  c.answers_compatible_mode = true;
}

}  // namespace

StateChange LoadStateChange(const ScenarioReader& r) {
  StateChange change;
  LoadCompatibleMode(r, change);
  LoadNumbers(r, change);
  LoadTexts(r, change);
  LoadByteLists(r, change);
  LoadRollerCautions(r, change);
  LoadReadBlocks(r, change);
  return change;
}

void LoadStateKeys(const ScenarioReader& r, DeviceBuilder& d) {
  if (auto model = r.Number<uint8_t>("Model")) d.Model(*model);
  d.Change(LoadStateChange(r));
  LoadLengths(r, d);
}

std::set<std::string> DeviceKeyNames() {
  std::set<std::string> names = StateKeyNames();
  names.insert("model");
  return names;
}

std::set<std::string> StateKeyNames() {
  std::set<std::string> names = {"compatiblemode"};
  for (const NumberKey& key : kNumberKeys) names.insert(platform::text::ToLowerAscii(key.name));
  for (const TextKey& key : kTextKeys) names.insert(platform::text::ToLowerAscii(key.name));
  for (const BytesKey& key : kBytesKeys) names.insert(platform::text::ToLowerAscii(key.name));
  for (const RollerKey& key : kRollerKeys) names.insert(platform::text::ToLowerAscii(key.name));
  return names;
}

}  // namespace emulator
