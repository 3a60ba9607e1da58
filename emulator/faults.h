// Faults a test or scenario injects into one emulated device.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "emulator/sense.h"
#include "platform/win_types.h"

namespace emulator {

// A count of times a fault still applies; kAlways never runs out.
constexpr int kAlways = -1;

// Which commands a fault applies to: an opcode and, optionally, the data type
// code in CDB byte 2. An empty opcode matches every command.
struct CommandMatch {
  std::optional<uint8_t> opcode;
  std::optional<uint8_t> data_type;

  static CommandMatch Any() { return {}; }
  static CommandMatch Opcode(uint8_t op) { return {op, std::nullopt}; }
  static CommandMatch Command(uint8_t op, uint8_t type) { return {op, type}; }
  bool Matches(const uint8_t* cdb, uint8_t cdb_length) const;
};

enum class FaultKind {
  kSense,           // CHECK CONDITION with the given sense, left pending
  kBusy,            // ASPI: completes with target status BUSY; escapes fail without sense
  kTransportError,  // ASPI: status error without target status; escapes fail without sense
  kNoAnswer,        // ASPI: the block stays pending until aborted; escapes fail without sense
  kShortAnswer,     // data in: only answer_bytes of the answer are returned (0: none)
  kGarbageAnswer,   // data in: the answer is replaced by junk of the same length
  kZeroAnswer,      // data in: good status and zero bytes filling the whole transfer
};

struct CommandFault {
  CommandMatch match;
  FaultKind kind = FaultKind::kSense;
  Sense sense;                // kSense
  uint32_t answer_bytes = 0;  // kShortAnswer; kSense: data returned with the sense
  int times = 1;
};

struct EscapeFault {
  platform::DWORD code = 0;  // 1 fails every pass-through command, 0x1001/0x1002 direct commands
  platform::HRESULT result = platform::E_FAIL;
  int times = 1;
};

struct DeviceFaults {
  std::vector<CommandFault> commands;  // the first match wins
  std::vector<EscapeFault> escapes;
  int lock_held_elsewhere = 0;  // lock attempts that wait their timeout and fail
  uint64_t lock_held_until = 0;  // clock time until which another program holds the lock
  bool offline = false;         // every lock attempt fails at once as offline
  std::optional<uint32_t> unplug_after;  // requests served before the device disappears
  int create_failures = 0;
  platform::HRESULT create_result = platform::E_FAIL;
};

CommandFault SenseFault(CommandMatch match, const Sense& sense, int times = 1, uint32_t answer_bytes = 0);
CommandFault BusyFault(CommandMatch match, int times = 1);
CommandFault TransportErrorFault(CommandMatch match, int times = 1);
CommandFault NoAnswerFault(CommandMatch match, int times = kAlways);
CommandFault ShortAnswerFault(CommandMatch match, uint32_t answer_bytes, int times = 1);
CommandFault GarbageAnswerFault(CommandMatch match, int times = 1);
CommandFault ZeroAnswerFault(CommandMatch match, int times = 1);

// Uses up one application of a counted fault; false when it has none left.
bool ConsumeTimes(int& times);

}  // namespace emulator
