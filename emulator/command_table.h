// The scanner's command set: a table from (opcode, data type) to the handler that
// answers it. Data-typed commands pass the model's profile first: a data type the
// model does not have, a transfer length it does not answer or a reserved CDB byte
// that is not zero is refused before the handler runs.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "emulator/device_setup.h"
#include "emulator/model_profile.h"
#include "emulator/sense.h"

namespace emulator {

struct CommandInput {
  const uint8_t* cdb = nullptr;
  uint8_t cdb_length = 0;
  std::span<const uint8_t> data_out;
  std::span<uint8_t> data_in;  // the caller's buffer: never written beyond
};

struct CommandAnswer {
  uint32_t returned = 0;        // bytes placed in data_in
  std::optional<Sense> sense;   // CHECK CONDITION when set
};

// What a handler may look at and change.
struct CommandContext {
  const std::array<uint8_t, kInquirySize>& inquiry;
  const ModelProfile& profile;
  ScannerState& state;
  std::optional<Sense>& pending_sense;
};

using CommandHandler = CommandAnswer (*)(CommandContext& context, const CommandInput& input);

struct CommandRow {
  uint8_t opcode;
  std::optional<uint8_t> data_type;  // CDB byte 2; nullopt: every data type
  CommandHandler handler;
  uint16_t zero_bytes = 0;  // bit i: CDB byte i must be 0 (checked for data-typed rows)
};

// The row for a command: an exact data type first, then the opcode's catch-all.
const CommandRow* FindCommand(uint8_t opcode, uint8_t data_type);

// The CDB length the opcode's group fixes (6, 10, 12 or 16; vendor groups 10).
uint8_t ExpectedCdbLength(uint8_t opcode);

// Looks the command up and runs it; unknown opcodes and wrong CDB lengths answer
// ILLEGAL REQUEST.
CommandAnswer RunCommand(CommandContext& context, const CommandInput& input);

}  // namespace emulator
