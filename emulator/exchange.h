// One exchange as the emulator saw it on the wire, for tests to assert on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace emulator {

enum class Transport {
  kAspi,               // SendASPI32Command, execute-command block
  kEscapeDirect,       // escape 0x1002 / 0x1001 (escape form 1)
  kEscapePassThrough,  // escape 1, native structure (form 2)
  kEscapeWow64,        // escape 1 with real input and output (form 3)
  kEscapeQuery,        // escapes without a command: 0x1004, 5, 0x1003, 4, unknown codes
  kLock,
  kUnlock,
};

enum class Direction { kNone = 0, kIn = 1, kOut = 2 };

enum class Outcome {
  kGood,
  kCheckCondition,
  kBusy,
  kTransportError,
  kNoAnswer,       // left pending (ASPI)
  kNoDevice,       // unplugged
  kRejected,       // malformed call: E_INVALIDARG, nothing executed
  kEscapeFailed,   // injected escape or lock failure
};

struct Exchange {
  Transport transport = Transport::kAspi;
  Outcome outcome = Outcome::kGood;

  // Escapes: the call's arguments as given and its result.
  platform::DWORD escape_code = 0;
  platform::DWORD in_size = 0;
  platform::DWORD out_size = 0;
  platform::HRESULT result = platform::S_OK;
  std::vector<uint8_t> raw_in;  // input bytes of the direct and WOW64 forms

  // Commands.
  std::vector<uint8_t> cdb_area;  // the CDB field as given: 16 (ASPI), 10 (pass-through), in_size (direct)
  uint8_t cdb_length = 0;
  Direction direction = Direction::kNone;
  uint32_t data_length = 0;       // the transfer length the transport declared
  std::vector<uint8_t> data_out;  // outgoing bytes
  uint32_t returned = 0;          // bytes placed in the caller's buffer (data in)
  uint32_t header_reserved = 0;   // native pass-through field at 28, WOW64 field at 16 (both 0)

  // ASPI only.
  uint8_t aspi_flags = 0;
  uint8_t sense_length = 0;
  uint8_t aspi_status = 0;
  uint8_t target_status = 0;

  // Lock.
  platform::DWORD lock_timeout = 0;

  bool IsCommand() const { return transport != Transport::kEscapeQuery && transport != Transport::kLock &&
                                  transport != Transport::kUnlock; }
  // The first cdb_length bytes of the CDB field.
  std::vector<uint8_t> Cdb() const;
};

// How an outcome reaches the caller: the escape's result, the ASPI request status
// and the target status.
constexpr platform::HRESULT kDeviceNotConnected = static_cast<platform::HRESULT>(0x8007048F);
platform::HRESULT EscapeResultFor(Outcome outcome);
uint8_t AspiStatusFor(Outcome outcome);
uint8_t TargetStatusFor(Outcome outcome);
// Fills the transport's result fields of a finished exchange from its outcome.
void SetResultFields(Exchange& exchange);

const char* TransportName(Transport transport);
// One line describing the exchange, for test failure messages.
std::string Describe(const Exchange& exchange);

}  // namespace emulator
