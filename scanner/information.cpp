#include "scanner/information.h"

#include <algorithm>
#include <cstring>

#include "device/device_library.h"
#include "platform/bytes.h"
#include "scanner/cdb.h"
#include "scanner/debug_settings.h"
#include "scanner/memory_commands.h"
#include "scanner/model_codes.h"
#include "scanner/setting_commands.h"

namespace scanner {
namespace {

using platform::bytes::GetBE16;

constexpr ModelSet kCounterSettingAlways = ModelSet{5, 6} | kCompactFamily;
constexpr ModelSet kSimulatedPowerOff = ModelSet::Range(40, 43);
constexpr ModelSet kBothSpdWithSplit = {13, 28, 29};
constexpr ModelSet kBothSpdHalved = ModelSet::Range(17, 24);
constexpr ModelSet kFrontSpdOnly = kProductionFamily;
constexpr ModelSet kPaperModeAndBuzzer = kProductionFamily;
constexpr ModelSet kBuzzerOnly = kWideBodyFamily;

bool Simulated() { return device::SimulatedScanner(); }
bool SimFlag(const char* key, int def) { return DebugInt(key, def) != 0; }
uint16_t SimMemory(const char* key) { return static_cast<uint16_t>(DebugInt(key, 512)); }

struct Configuration {
  uint8_t bytes[cdb::kType93Length] = {};
};

void ApplyConfiguration(const Configuration& config, ScannerContext& context) {
  const uint8_t options = config.bytes[0];
  context.pre_imprinter = options & 0x02;
  context.post_imprinter = options & 0x01;
  context.flatbed_connected = options & 0x20;
  context.color_option = !(options & 0x10);
  context.sides = (options & 0x08) ? 1 : 2;
  context.power_off = config.bytes[24] & 0x01;
  context.counter_setting = config.bytes[24] & 0x04;
}

void ApplySimulatedConfiguration(ScannerContext& context) {
  context.pre_imprinter = SimFlag("DummyImprinter1", 1);
  context.post_imprinter = SimFlag("DummyImprinter2", 1);
  context.flatbed_connected = SimFlag("DummyTT767Connect", 0);
  if (kFlatbedCapable.Has(context.model_code)) context.flatbed_usable = true;
  context.memory_mb = SimMemory("DummyMemsize1");
  if (kSimulatedPowerOff.Has(context.model_code)) context.power_off = true;
  context.counter_setting = SimFlag("DummyCounterSettinEnable", 0);
}

bool ReadConfigurationBlock(const ScannerContext& context, Configuration& config) {
  return cdb::ReadType93(context.host_adapter, context.target, config.bytes) == 0;
}

// The 128 bytes of serial-presence-detect data behind the answer's 2-byte header.
void ReadSpd(const ScannerContext& context, bool back, uint8_t (&spd)[128]) {
  // A simulated scanner answers without writing: its modules read as zeros.
  uint8_t block[kSpdBlockLength] = {};
  if (cdb::VendorReadQualified(context.host_adapter, context.target, 0xA3, back ? 0x00 : 0x80, block,
                               sizeof(block)) == 0) {
    std::memcpy(spd, block + 2, sizeof(spd));
  }
}

void ReadMemory(ScannerContext& context, const Configuration* config) {
  const uint8_t code = context.model_code;
  const uint16_t total = config ? GetBE16(config->bytes + 2) : 0;
  if (kBothSpdWithSplit.Has(code) || kBothSpdHalved.Has(code)) {
    ReadSpd(context, false, context.spd_front);
    ReadSpd(context, true, context.spd_back);
  } else if (kFrontSpdOnly.Has(code)) {
    ReadSpd(context, false, context.spd_front);
  }
  if (config) {
    if (kBothSpdWithSplit.Has(code)) {
      const uint16_t back = GetBE16(config->bytes + 16);
      context.back_memory_mb = back;
      context.memory_mb = static_cast<uint16_t>(total > back ? total - back : 0);
    } else if (kBothSpdHalved.Has(code)) {
      context.memory_mb = context.back_memory_mb = static_cast<uint16_t>(total / 2);
    } else {
      context.memory_mb = total;
    }
  }
  if (Simulated()) {
    context.memory_mb = SimMemory("DummyMemsize1");
    context.back_memory_mb = SimMemory("DummyMemSize2");
  }
}

// A four-character version when its first byte is set.
void TakeVersion(const uint8_t* at, char (&version)[5]) {
  if (at[0] == 0) return;
  std::memcpy(version, at, 4);
  version[4] = '\0';
}

void ReadVersions(ScannerContext& context) {
  const bool wide = kWideBodyFamily.Has(context.model_code);
  uint8_t block[28] = {};
  if (cdb::VendorRead(context.host_adapter, context.target, 0x83, block, wide ? 28 : 24) == 0) {
    // The firmware version is taken as it stands.
    std::memcpy(context.firmware_version, block + 4, 4);
    context.firmware_version[4] = '\0';
    TakeVersion(block, context.second_version);
    if (!wide) TakeVersion(block + 12, context.third_version);
    TakeVersion(block + 20, context.fourth_version);
    TakeVersion(block + 16, context.fifth_version);
  }
  if (Simulated() && context.firmware_version[0] == '\0') std::strcpy(context.firmware_version, "1.00");
}

struct BoardLayout {
  ModelSet models;
  uint32_t length;
  void (*decode)(const uint8_t* b, ScannerContext& c);
};

void DecodeProductionBoard(const uint8_t* b, ScannerContext& c) {
  c.terminator = b[0] == 1;
  c.control_board = b[2];
  c.interface_board = b[3];
  c.drive_board = b[4];
  c.gate_array[0] = b[8];
  c.gate_array[1] = b[9];
  c.gate_array[2] = b[10];
  c.firmware_revision = static_cast<char>(b[12]);
  c.second_revision = static_cast<char>(b[13]);
}

void DecodeWideBodyBoard(const uint8_t* b, ScannerContext& c) {
  c.control_board = b[2];
  if (ModelSet{13, 28, 29}.Has(c.model_code)) c.interface_board = b[3];
  c.drive_board = b[4];
  if (ModelSet{22, 23}.Has(c.model_code)) {
    c.extra_board[0] = b[5];
    c.extra_board[1] = b[6];
  }
  c.gate_array[2] = b[7];
  c.gate_array[0] = b[8];
  c.gate_array_second[0] = b[9];
  c.gate_array[1] = b[10];
  c.gate_array_second[1] = b[11];
  c.firmware_revision = static_cast<char>(b[12]);
  c.second_revision = static_cast<char>(b[13]);
}

void DecodeInterfaceBoard(const uint8_t* b, ScannerContext& c) {
  c.firmware_revision = static_cast<char>(b[12]);
  c.second_revision = static_cast<char>(b[13]);
  c.third_revision = static_cast<char>(b[14]);
}

void DecodeTerminatedBoard(const uint8_t* b, ScannerContext& c) {
  c.control_board = b[2];
  c.gate_array[0] = b[8];
  c.firmware_revision = static_cast<char>(b[12]);
  c.second_revision = static_cast<char>(b[13]);
}

void DecodeShortBoard(const uint8_t* b, ScannerContext& c) {
  c.terminator = b[0] == 1;
  c.control_board = b[1];
  c.gate_array[0] = (b[2] & 0x0F) ? (b[2] & 0x0F) : (b[2] >> 4);
  c.firmware_revision = static_cast<char>(b[3]);
}

constexpr ModelSet kTerminatedBoards = ModelSet{5, 6, 8, 10} | kCompactFamily;

const BoardLayout kBoards[] = {
    {kProductionFamily, 16, DecodeProductionBoard},
    {kWideBodyFamily, 16, DecodeWideBodyBoard},
    {kInterfaceBoardFamily, 16, DecodeInterfaceBoard},
    {kTerminatedBoards, 16, DecodeTerminatedBoard},
};
constexpr BoardLayout kShortBoard = {{}, 4, DecodeShortBoard};

const BoardLayout& BoardLayoutFor(uint8_t code) {
  for (const BoardLayout& layout : kBoards) {
    if (layout.models.Has(code)) return layout;
  }
  return kShortBoard;
}

void ApplySimulatedBoard(ScannerContext& context) {
  context.terminator = DebugInt("DummyTerminator", 0) == 1;
  context.control_board = static_cast<uint8_t>(DebugInt("DummyMainBoardVer", 0));
  context.gate_array[0] = static_cast<uint8_t>(DebugInt("DummyGaVer1", 0));
  context.gate_array[1] = static_cast<uint8_t>(DebugInt("DummyGaVer2", 0));
  context.gate_array[2] = static_cast<uint8_t>(DebugInt("DummyGaVer3", 0));
  if (context.firmware_revision == 0) context.firmware_revision = '0';
}

void ReadBoards(ScannerContext& context) {
  const BoardLayout& layout = BoardLayoutFor(context.model_code);
  uint8_t block[16] = {};
  if (cdb::VendorRead(context.host_adapter, context.target, 0x81, block, layout.length) == 0) {
    layout.decode(block, context);
  }
  if (Simulated()) ApplySimulatedBoard(context);
  if (kTerminatedBoards.Has(context.model_code)) context.terminator = true;
}

void ReadPaperAndBuzzer(ScannerContext& context) {
  const uint8_t code = context.model_code;
  if (kPaperModeAndBuzzer.Has(code)) ReadPaperMode(context.host_adapter, context.target, context.paper_mode, true);
  if (kPaperModeAndBuzzer.Has(code) || kBuzzerOnly.Has(code)) {
    ReadBuzzerSetting(context.host_adapter, context.target, context.buzzer, true);
  }
}

bool ReadConfigurationValues(ScannerContext& context, Configuration& config) {
  if (Simulated()) {
    ApplySimulatedConfiguration(context);
    return true;
  }
  if (!ReadConfigurationBlock(context, config)) return false;
  ApplyConfiguration(config, context);
  return true;
}

int ReadConfigurationInto(ScannerContext& context, Configuration& config) {
  const bool read = ReadConfigurationValues(context, config);
  // These models can always set their counters, whatever the block says and even without it.
  if (kCounterSettingAlways.Has(context.model_code)) context.counter_setting = true;
  return read ? 1 : 0;
}

}  // namespace

int ReadConfiguration(ScannerContext& context) {
  Configuration config;
  return ReadConfigurationInto(context, config);
}

void ReadInformation(ScannerContext& context) {
  context.flatbed_usable = ReadFlatbedOption(context.host_adapter, context.target) != 0;
  Configuration config;
  const bool have_config = ReadConfigurationInto(context, config) && !Simulated();
  ReadMemory(context, have_config ? &config : nullptr);
  ReadVersions(context);
  ReadBoards(context);
  ReadPaperAndBuzzer(context);
}

}  // namespace scanner
