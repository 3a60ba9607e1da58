#include "scanner/text_forms.h"

#include "platform/format.h"
#include "resources/app_resources.h"
#include "scanner/model_codes.h"

namespace scanner {
namespace {

constexpr int kIdsEnable = 2041;
constexpr int kIdsDisable = 2042;
constexpr int kIdsCautionMinutes = 2003;
constexpr int kIdsColorSuffix = 3198;

constexpr CompatibleName kCompatibleNames[] = {
    {1, 3125},  {2, 3121},  {3, 3123},  {4, 3126},  {5, 3119},  {6, 3138},  {7, 3137},
    {8, 3127},  {9, 3120},  {10, 3128}, {11, 3129}, {12, 3130}, {13, 3131}, {14, 3132},
    {15, 3133}, {16, 3116}, {17, 3117}, {18, 3118}, {21, 3179}, {19, 3180}, {20, 3181},
};

std::string Text(const ScannerContext& c, std::string text) { return c.connected ? text : std::string(); }

// A fixed-width field up to its first NUL.
template <size_t N>
std::string Field(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n]) ++n;
  return std::string(field, n);
}

template <size_t N>
std::string Version(const ScannerContext& c, const char (&version)[N], char revision, bool with_revision) {
  std::string text = Field(version);
  if (with_revision && revision != 0) text += std::string(".") + revision;
  return Text(c, text);
}

std::string Number(const ScannerContext& c, int value) { return Text(c, platform::Format("%d", value)); }

std::string OnOffText(const ScannerContext& c, bool on, OnOff style) {
  if (style == OnOff::kPlain) return Text(c, on ? "Enable" : "Disable");
  return Text(c, resources::LoadString(on ? kIdsEnable : kIdsDisable));
}

}  // namespace

const CompatibleName* FindCompatibleName(uint8_t code) {
  for (const CompatibleName& entry : kCompatibleNames) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

std::string ModelNameText(const ScannerContext& c) {
  std::string name = Field(c.model_name);
  if (c.model_code == 34 && c.color_option) name += resources::LoadString(kIdsColorSuffix);
  return Text(c, name);
}

std::string FirmwareVersionText(const ScannerContext& c, bool with_revision) {
  return Version(c, c.firmware_version, c.firmware_revision, with_revision);
}
std::string SecondVersionText(const ScannerContext& c, bool with_revision) {
  return Version(c, c.second_version, c.second_revision, with_revision);
}
std::string ThirdVersionText(const ScannerContext& c, bool with_revision) {
  return Version(c, c.third_version, c.third_revision, with_revision);
}
std::string FourthVersionText(const ScannerContext& c) { return Text(c, Field(c.fourth_version)); }
std::string FifthVersionText(const ScannerContext& c) { return Text(c, Field(c.fifth_version)); }

std::string InterfaceText(const ScannerContext& c) {
  static constexpr const char* kNames[] = {"", "ASPI SCSI", "STI SCSI", "STI USB (2.0)", "STI USB (1.1)"};
  return Text(c, c.interface_kind < std::size(kNames) ? kNames[c.interface_kind] : "");
}

std::string ControlBoardText(const ScannerContext& c) { return Number(c, c.control_board); }
std::string InterfaceBoardText(const ScannerContext& c) { return Number(c, c.interface_board); }
std::string DriveBoardText(const ScannerContext& c) { return Number(c, c.drive_board); }

std::string GateArrayText(const ScannerContext& c, int index) {
  if (index < 0 || index > 2) return {};
  if (index < 2 && kWideBodyFamily.Has(c.model_code)) {
    return Text(c, platform::Format("%d-%d", c.gate_array[index], c.gate_array_second[index]));
  }
  return Number(c, c.gate_array[index]);
}

std::string MemoryText(const ScannerContext& c) { return Text(c, platform::Format("%d MB", c.memory_mb)); }
std::string BackMemoryText(const ScannerContext& c) { return Text(c, platform::Format("%d MB", c.back_memory_mb)); }

std::string TerminatorText(const ScannerContext& c, OnOff style) { return OnOffText(c, c.terminator, style); }
std::string PreImprinterText(const ScannerContext& c, OnOff style) { return OnOffText(c, c.pre_imprinter, style); }
std::string PostImprinterText(const ScannerContext& c, OnOff style) { return OnOffText(c, c.post_imprinter, style); }
std::string FlatbedText(const ScannerContext& c, OnOff style) { return OnOffText(c, c.flatbed_usable, style); }

bool FlatbedRowApplies(const ScannerContext& c) {
  if (!c.connected) return false;
  if (c.model_code == kFlatbedModelCode) return true;
  return kFlatbedCapable.Has(c.model_code) && c.flatbed_connected;
}

std::string CompatibleModeText(const ScannerContext& c) {
  const CompatibleName* entry = FindCompatibleName(c.compatible_second);
  if (!entry) entry = FindCompatibleName(c.compatible_code);
  return entry ? Text(c, resources::LoadString(entry->string_id)) : std::string();
}

std::string PaperModeText(const ScannerContext& c) {
  switch (c.paper_mode) {
    case 0: return Text(c, "Letter");
    case 1: case 2: return Text(c, "A4");
    default: return {};
  }
}

std::string BuzzerText(const ScannerContext& c) { return Text(c, c.buzzer == 0 ? "OFF" : "ON"); }

std::string SleepText(const ScannerContext& c, bool enabled, int minutes) {
  return Text(c, enabled ? platform::Format("%d min", minutes) : "Disable");
}

std::string CautionSleepText(const ScannerContext& c, bool enabled, int minutes) {
  if (!enabled) return Text(c, resources::LoadString(kIdsDisable));
  return Text(c, resources::FormatString(kIdsCautionMinutes, {static_cast<unsigned>(minutes)}));
}

}  // namespace scanner
