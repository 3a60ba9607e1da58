#include "scanner/identify.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "device/device_library.h"
#include "platform/message_box.h"
#include "scanner/information.h"
#include "scanner/last_scanner.h"
#include "scanner/memory_commands.h"
#include "scanner/model_codes.h"
#include "scanner/model_table.h"
#include "scanner/sense_message.h"
#include "scanner/setting_commands.h"

namespace scanner {
namespace {

constexpr ModelSet kNoCompatibleMode = ModelSet{15, 35} | kCompactFamily;
constexpr ModelSet kFourByteIndividual = ModelSet{13, 24} | ModelSet::Range(17, 21);
constexpr ModelSet kNoIndividual = ModelSet{7, 9, 10, 32} | ModelSet::Range(25, 29) | kCompactFamily;

// The compatible-mode code the simulated scanner reports, by model code.
struct SimulatedCode {
  ModelSet models;
  uint8_t code;
};
constexpr SimulatedCode kSimulatedCodes[] = {
    {{12, 25}, 16}, {{14}, 17}, {{16}, 18}, {{26}, 24}, {{27}, 25}, {{28, 30}, 31}, {{29, 31}, 32},
};

// One row of the renaming by compatible-mode code: models before, codes (none: any),
// model code after (0: unchanged) and name after (null: unchanged).
struct Renaming {
  ModelSet before;
  std::optional<ModelSet> codes;
  uint8_t after;
  const char* name;
};

constexpr ModelSet kAnyOther = ~(ModelSet{21, 23, 30, 31, 32} | ModelSet::Range(25, 29));

const Renaming kRenamings[] = {
    {{21, 23, 32}, std::nullopt, 0, nullptr},
    {ModelSet::Range(25, 29), ModelSet{16}, 25, "JJN 5977"},
    {ModelSet::Range(25, 29), ModelSet{24}, 26, "JJN 5177"},
    {ModelSet::Range(25, 29), ModelSet{25}, 27, "JJN 5177HWI"},
    {ModelSet::Range(25, 29), ModelSet{31}, 28, "JJN 5947"},
    {ModelSet::Range(25, 29), ModelSet{32}, 29, "JJN 5147"},
    {{30, 31}, ModelSet{31}, 28, "DFWQD 5947"},
    {{30, 31}, ModelSet{32}, 29, "DFWQD 5147"},
    {{30}, std::nullopt, 28, nullptr},
    {{31}, std::nullopt, 29, nullptr},
    {kAnyOther, ModelSet{15, 16}, 12, "DE-T2713Z"},
    {kAnyOther, ModelSet{17}, 14, "DE-T5713ZP"},
    {kAnyOther, ModelSet{18}, 16, "DE-T5713ZA"},
    {kAnyOther, ModelSet{19, 20}, 34, "DE-T5763"},
    {kAnyOther, ModelSet{21}, 33, "DE-T5473Z"},
};

void SetModelName(ScannerContext& context, const char* name) {
  std::memset(context.model_name, 0, sizeof(context.model_name));
  std::strncpy(context.model_name, name, sizeof(context.model_name) - 1);
}

void Rename(ScannerContext& context, std::optional<uint8_t> code) {
  for (const Renaming& row : kRenamings) {
    if (!row.before.Has(context.model_code)) continue;
    if (row.codes && !(code && row.codes->Has(*code))) continue;
    if (row.after) context.model_code = row.after;
    if (row.name) SetModelName(context, row.name);
    return;
  }
}

void ApplyCompatibleMode(ScannerContext& context) {
  if (kNoCompatibleMode.Has(context.model_code)) return;
  uint8_t code = 0;
  uint8_t second = 0;
  if (!ReadCompatibleMode(context.host_adapter, context.target, code, second, true)) {
    // 30 and 31 name no model of their own: without the word they still become 28 and 29.
    Rename(context, std::nullopt);
    return;
  }
  if (device::SimulatedScanner()) {
    for (const SimulatedCode& sim : kSimulatedCodes) {
      if (sim.models.Has(context.model_code)) code = second = sim.code;
    }
  }
  context.compatible_code = code;
  context.compatible_second = second;
  Rename(context, code);
}

void SetInterface(ScannerContext& context, const device::DeviceRecord& record) {
  switch (record.kind) {
    case device::kKindStiOther:
      context.interface_kind = record.UsbSpeed ? kInterfaceStiUsbFull : kInterfaceStiUsbHigh;
      break;
    case device::kKindStiScsi:
      context.interface_kind = kInterfaceStiScsi;
      break;
    default:
      context.interface_kind = kInterfaceAspiScsi;
      context.host_adapter = record.hostID;
      context.target = record.TargetID;
  }
}

void CopyIdentity(ScannerContext& context, const device::DeviceRecord& record) {
  std::memcpy(context.vendor, record.Inquiry + 8, 8);
  std::memcpy(context.model_name, record.Inquiry + 16, 16);
  std::memcpy(context.revision, record.Inquiry + 32, 4);
}

void ReadIndividualCapability(ScannerContext& context) {
  const uint8_t code = context.model_code;
  if (kNoIndividual.Has(code)) return;
  uint8_t answer[4] = {};
  const bool four = kFourByteIndividual.Has(code);
  if (!ReadIndividualSettings(context.host_adapter, context.target, four ? 4 : 2, answer, true)) return;
  context.individual_settings = true;
  if (four) context.individual_extension = (answer[2] & 0x20) != 0;
}

}  // namespace

int IdentifyScanner(ScannerContext& context, const device::DeviceRecord& record, bool store) {
  ResetContext(context);
  const uint8_t code =
      LookupModelCode(std::string_view(reinterpret_cast<const char*>(record.Inquiry + 16), 16));
  if (code == 0) {
    platform::AfxMessageBox("Target_Table is incorrect");
    return 0;
  }
  context.connected = true;
  context.model_code = code;
  SetInterface(context, record);
  CopyIdentity(context, record);
  ApplyCompatibleMode(context);
  ReadInformation(context);
  context.record = record;
  if (store) SaveLastScanner(record);
  std::memcpy(context.internal_name, record.InternalName, sizeof(context.internal_name));
  ReadIdentityText(context.host_adapter, context.target, context.identity_text, true);
  ReadIndividualCapability(context);
  SetSenseModelCode(context.model_code);
  return 1;
}

}  // namespace scanner
