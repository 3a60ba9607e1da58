#include "emulator/model_profile.h"

#include <algorithm>
#include <optional>

namespace emulator {
namespace {

using Rule = std::optional<Lengths> (*)(uint8_t model);

Lengths Fixed(uint32_t length) { return Lengths{{length}, false, false}; }
const Lengths kAny{{}, true, false};
const Lengths kBySleepForm{{}, false, true};

bool IsFlatbedUnit(uint8_t m) { return m == kFlatbedUnitModel; }
bool OneOf(uint8_t m, std::initializer_list<uint8_t> codes) {
  return std::find(codes.begin(), codes.end(), LayoutCode(m)) != codes.end();
}
// Every model but the flatbed unit, which has no feeder.
std::optional<Lengths> FeederOnly(uint8_t m, Lengths lengths) {
  if (IsFlatbedUnit(m)) return std::nullopt;
  return lengths;
}
bool HasRollerCounters(uint8_t m) { return !IsFlatbedUnit(m) && !IsInterfaceBoard(m); }
bool HasFlatbedCommands(uint8_t m) { return IsFlatbedCapable(m) || IsFlatbedUnit(m); }

std::optional<Lengths> Status(uint8_t) { return Fixed(12); }
std::optional<Lengths> Positions(uint8_t m) {
  if (IsFlatbedUnit(m) || IsInterfaceBoard(m)) return std::nullopt;
  if (IsWideBody(m)) return Fixed(16);
  if (IsProduction(m) || IsCompact(m)) return Fixed(12);
  return Fixed(8);
}
std::optional<Lengths> KeySensor(uint8_t m) { return FeederOnly(m, Lengths{{4, 6}, false, false}); }
std::optional<Lengths> SensorLevels(uint8_t m) {
  if (IsProduction(m) || IsWideBody(m)) return Fixed(36);
  if (IsEarly(m)) return Fixed(18);
  return std::nullopt;
}
std::optional<Lengths> TestMode(uint8_t m) {
  return FeederOnly(m, Fixed(IsProduction(m) || IsWideBody(m) || IsCompact(m) ? 18 : 16));
}
std::optional<Lengths> Word4B(uint8_t m) { return FeederOnly(m, Fixed(4)); }
std::optional<Lengths> BentPaper(uint8_t m) { return FeederOnly(m, Fixed(8)); }
std::optional<Lengths> BoardInformation(uint8_t m) {
  const bool long_form = IsProduction(m) || IsWideBody(m) || IsInterfaceBoard(m) || IsCompact(m) ||
                         OneOf(m, {5, 6, 8, 10});
  return Fixed(long_form ? 16 : 4);
}
std::optional<Lengths> VersionBlock(uint8_t m) { return Fixed(IsWideBody(m) ? 28 : 24); }
std::optional<Lengths> SystemCounters(uint8_t m) {
  return FeederOnly(m, Fixed(OneOf(m, {12, 13, 14, 15, 16, 25, 26, 27, 28, 29, 32}) ? 20 : 14));
}
std::optional<Lengths> PaperMode(uint8_t m) {
  if (IsWideBody(m)) return std::nullopt;  // buzzer only
  return FeederOnly(m, Fixed(2));
}
std::optional<Lengths> CautionReport(uint8_t m) {
  if (LayoutCode(m) < 12 || IsFlatbedUnit(m)) return std::nullopt;
  return Fixed(12);
}
std::optional<Lengths> IdentityText(uint8_t) { return Fixed(16); }
std::optional<Lengths> Flash(uint8_t m) { return FeederOnly(m, kAny); }
std::optional<Lengths> RollerCounters(uint8_t m) {
  if (!HasRollerCounters(m)) return std::nullopt;
  return Fixed(IsCompact(m) ? 24 : 16);
}
std::optional<Lengths> ClearCounter(uint8_t m) {
  if (!HasRollerCounters(m)) return std::nullopt;
  return Fixed(4);
}
std::optional<Lengths> Thresholds(uint8_t m) {
  if (!HasRollerCounters(m)) return std::nullopt;
  return Fixed(IsCompact(m) ? 12 : 8);
}
std::optional<Lengths> Sleep(uint8_t m) {
  if (IsFlatbedUnit(m) || IsInterfaceBoard(m)) return std::nullopt;
  return kBySleepForm;
}
std::optional<Lengths> TwoBytes(uint8_t m) { return FeederOnly(m, Fixed(2)); }
std::optional<Lengths> CompatibleMode(uint8_t m) {
  if (OneOf(m, {15, 35}) || IsCompact(m)) return std::nullopt;
  return FeederOnly(m, Fixed(2));
}
std::optional<Lengths> Spd(uint8_t m) {
  if (IsProduction(m) || IsWideBody(m)) return Fixed(130);
  return std::nullopt;
}
std::optional<Lengths> FeedSpeed(uint8_t m) { return FeederOnly(m, Fixed(8)); }
std::optional<Lengths> IndividualSettings(uint8_t m) {
  if (OneOf(m, {22})) return Lengths{{2, 4}, false, false};  // identification asks 2, the report 4
  if (OneOf(m, {13, 17, 18, 19, 20, 21, 24, 28, 29})) return Fixed(4);
  if (OneOf(m, {7, 9, 10, 25, 26, 27, 32})) return std::nullopt;
  return FeederOnly(m, Fixed(2));
}
std::optional<Lengths> ServiceModeWrite(uint8_t) { return Fixed(2); }
std::optional<Lengths> ModeBits(uint8_t m) { return FeederOnly(m, Fixed(0)); }
std::optional<Lengths> FlatbedStatus(uint8_t m) {
  if (!HasFlatbedCommands(m)) return std::nullopt;
  return Fixed(12);
}
std::optional<Lengths> FlatbedSleep(uint8_t m) {
  if (!HasFlatbedCommands(m)) return std::nullopt;
  return Fixed(2);
}
std::optional<Lengths> FlatbedOption(uint8_t m) {
  if (!HasFlatbedCommands(m)) return std::nullopt;
  return Fixed(8);
}
std::optional<Lengths> ImageData(uint8_t) { return kAny; }
std::optional<Lengths> ImageInfo(uint8_t) { return Fixed(16); }
std::optional<Lengths> ConfigurationBlock(uint8_t) { return Fixed(32); }

struct RuleRow {
  uint8_t opcode;
  uint8_t data_type;
  Rule rule;
};

const RuleRow kRules[] = {
    {kOpVendorRead, 0x01, Status},
    {kOpVendorRead, 0x30, Positions},
    {kOpVendorRead, 0x32, KeySensor},
    {kOpVendorRead, 0x33, SensorLevels},
    {kOpVendorRead, 0x41, TestMode},
    {kOpVendorRead, 0x4B, Word4B},
    {kOpVendorRead, 0x4C, BentPaper},
    {kOpVendorRead, 0x81, BoardInformation},
    {kOpVendorRead, 0x83, VersionBlock},
    {kOpVendorRead, 0x86, SystemCounters},
    {kOpVendorRead, 0x8A, PaperMode},
    {kOpVendorRead, 0x90, CautionReport},
    {kOpVendorRead, 0x92, IdentityText},
    {kOpVendorRead, 0x96, Flash},
    {kOpVendorRead, 0x9C, RollerCounters},
    {kOpVendorRead, 0x9E, Sleep},
    {kOpVendorRead, 0xA1, TwoBytes},
    {kOpVendorRead, 0xA2, CompatibleMode},
    {kOpVendorRead, 0xA3, Spd},
    {kOpVendorRead, 0xA4, TwoBytes},
    {kOpVendorRead, 0xA7, FeedSpeed},
    {kOpVendorRead, 0xAA, IndividualSettings},
    {kOpVendorWrite, 0x40, TwoBytes},
    {kOpVendorWrite, 0x45, ServiceModeWrite},
    {kOpVendorWrite, 0x8A, PaperMode},
    {kOpVendorWrite, 0x91, ClearCounter},
    {kOpVendorWrite, 0x9D, Thresholds},
    {kOpVendorWrite, 0x9F, Sleep},
    {kOpVendorWrite, 0xA0, TwoBytes},
    {kOpVendorWrite, 0xA1, TwoBytes},
    {kOpVendorWrite, 0xA2, CompatibleMode},
    {kOpVendorWrite, 0xA4, TwoBytes},
    {kOpVendorWrite, 0xA9, Flash},
    {kOpVendorWrite, 0xB1, ModeBits},
    {kOpFlatbedRead, 0x00, FlatbedStatus},
    {kOpFlatbedRead, 0x01, FlatbedSleep},
    {kOpFlatbedRead, 0x04, FlatbedOption},
    {kOpFlatbedWrite, 0x02, FlatbedSleep},
    {kOpRead10, 0x00, ImageData},
    {kOpRead10, 0x80, ImageInfo},
    {kOpRead10, 0x93, ConfigurationBlock},
};

uint16_t Key(uint8_t opcode, uint8_t data_type) { return static_cast<uint16_t>(opcode << 8 | data_type); }

}  // namespace

const Lengths* ModelProfile::Find(uint8_t opcode, uint8_t data_type) const {
  auto it = commands.find(Key(opcode, data_type));
  return it == commands.end() ? nullptr : &it->second;
}

void ModelProfile::Set(uint8_t opcode, uint8_t data_type, Lengths lengths) {
  commands[Key(opcode, data_type)] = std::move(lengths);
}

ModelProfile ProfileForModel(uint8_t model) {
  ModelProfile profile;
  profile.model_code = model;
  profile.flash_base = OneOf(model, {40, 41, 42, 43}) ? 0x1B0000 : 0xC0000;
  if (!IsKnownModel(model)) return profile;
  for (const RuleRow& row : kRules)
    if (std::optional<Lengths> lengths = row.rule(model)) profile.Set(row.opcode, row.data_type, std::move(*lengths));
  return profile;
}

void AnswerCompatibleMode(ModelProfile& profile) {
  for (uint8_t opcode : {kOpVendorRead, kOpVendorWrite})
    if (!profile.Find(opcode, 0xA2)) profile.Set(opcode, 0xA2, Fixed(2));
}

bool AcceptsLength(const Lengths& lengths, const ScannerState& state, uint32_t length) {
  if (lengths.any) return true;
  if (lengths.by_power_off) return length == (state.config.power_off ? 4u : 2u);
  return std::find(lengths.fixed.begin(), lengths.fixed.end(), length) != lengths.fixed.end();
}

}  // namespace emulator
