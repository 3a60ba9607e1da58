// A model's profile: which data types of the wire protocol it answers and the
// transfer lengths it accepts for each, and where its flash area lies.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "emulator/model_table.h"
#include "emulator/scanner_state.h"

namespace emulator {

constexpr uint8_t kOpVendorRead = 0xE0;
constexpr uint8_t kOpVendorWrite = 0xE1;
constexpr uint8_t kOpFlatbedRead = 0xE8;
constexpr uint8_t kOpFlatbedWrite = 0xE9;
constexpr uint8_t kOpRead10 = 0x28;

struct Lengths {
  std::vector<uint32_t> fixed;  // the transfer lengths accepted
  bool any = false;             // the caller's length (flash blocks, image data)
  bool by_power_off = false;    // 4 with the power-off capability, else 2
  friend bool operator==(const Lengths&, const Lengths&) = default;
};

struct ModelProfile {
  uint8_t model_code = kUnknownModel;
  uint32_t flash_base = 0;  // device address of the flash area
  std::map<uint16_t, Lengths> commands;  // by opcode << 8 | data type

  // Null when the model does not have the data type.
  const Lengths* Find(uint8_t opcode, uint8_t data_type) const;
  void Set(uint8_t opcode, uint8_t data_type, Lengths lengths);
};

// The profile of a model code; codes that name no model get an empty profile.
ModelProfile ProfileForModel(uint8_t model);

// Makes the model answer the compatible-mode read and write (2 bytes) when it
// does not already.
void AnswerCompatibleMode(ModelProfile& profile);

bool AcceptsLength(const Lengths& lengths, const ScannerState& state, uint32_t length);

}  // namespace emulator
