#include "emulator/escape_forms.h"

#include <cstring>

#include "platform/aspi/aspi.h"
#include "platform/bytes.h"
#include "platform/sti/sti.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;
using platform::DWORD;

constexpr size_t kPassThroughCdbSize = 10;

bool ValidCdbLength(DWORD n) { return n == 6 || n == 10 || n == 12 || n == 16; }

Direction DirectionFrom(DWORD value) { return static_cast<Direction>(value); }

// Points the request's data at the caller's bytes for its direction.
void AttachData(WireRequest& request, uint8_t* data, size_t length) {
  if (request.record.direction == Direction::kOut) request.record.data_out.assign(data, data + length);
  if (request.record.direction == Direction::kIn) request.data_in = {data, length};
}

std::optional<EscapeCommand> DecodeDirect(const EscapeCall& call) {
  if (!call.in || !ValidCdbLength(call.in_size)) return std::nullopt;
  // A buffer of size 0 carries nothing, whatever its pointer; a size needs a buffer.
  if (!call.out && call.out_size != 0) return std::nullopt;
  if (call.code == kEscapeDataOut && call.out_size == 0) return std::nullopt;
  EscapeCommand command;
  Exchange& record = command.request.record;
  const auto* cdb = static_cast<const uint8_t*>(call.in);
  record.cdb_area.assign(cdb, cdb + call.in_size);
  record.raw_in = record.cdb_area;
  record.cdb_length = static_cast<uint8_t>(call.in_size);
  record.direction = call.code == kEscapeDataOut ? Direction::kOut : call.out_size ? Direction::kIn : Direction::kNone;
  record.data_length = call.out_size;
  AttachData(command.request, static_cast<uint8_t*>(call.out), call.out_size);
  return command;
}

std::optional<EscapeCommand> DecodePassThrough(const EscapeCall& call) {
  if (call.out || call.out_size != 0) return std::nullopt;
  const auto& pass = *static_cast<const platform::sti::PassThroughRequest*>(call.in);
  if (pass.direction > 2 || pass.cdb_length == 0 || pass.cdb_length > kPassThroughCdbSize || !pass.status)
    return std::nullopt;
  if (pass.direction != 0 && pass.data_length != 0 && !pass.data) return std::nullopt;
  EscapeCommand command;
  Exchange& record = command.request.record;
  record.cdb_area.assign(pass.cdb, pass.cdb + kPassThroughCdbSize);
  record.cdb_length = static_cast<uint8_t>(pass.cdb_length);
  record.direction = DirectionFrom(pass.direction);
  record.data_length = pass.data_length;
  record.header_reserved = pass.reserved;
  AttachData(command.request, pass.data, pass.data_length);
  command.native_status = pass.status;
  return command;
}

bool Wow64SizesMatch(const EscapeCall& call, Direction direction, uint64_t length) {
  const bool input_ok = direction == Direction::kOut
                            ? call.in_size == kWowHeaderSize + length
                            : call.in_size == kWowInputWithoutData || (call.in_size == kWowHeaderSize && length == 0);
  const bool output_ok = direction == Direction::kIn ? call.out_size == kWowDataInOffset + length
                                                     : call.out_size == kWowOutputWithoutData ||
                                                           (call.out_size == kWowDataInOffset && length == 0);
  return input_ok && output_ok;
}

std::optional<EscapeCommand> DecodeWow64(const EscapeCall& call) {
  if (call.in_size < kWowHeaderSize || !call.out || call.out_size < kWowDataInOffset || !call.out_used)
    return std::nullopt;
  auto* in = static_cast<uint8_t*>(call.in);
  const DWORD direction = bytes::GetLE32(in);
  const uint16_t cdb_length = bytes::GetLE16(in + 14);
  const DWORD length = bytes::GetLE32(in + 20);
  if (direction > 2 || cdb_length == 0 || cdb_length > kPassThroughCdbSize) return std::nullopt;
  if (!Wow64SizesMatch(call, DirectionFrom(direction), length)) return std::nullopt;
  EscapeCommand command;
  Exchange& record = command.request.record;
  record.raw_in.assign(in, in + call.in_size);
  record.cdb_area.assign(in + 4, in + 4 + kPassThroughCdbSize);
  record.cdb_length = static_cast<uint8_t>(cdb_length);
  record.direction = DirectionFrom(direction);
  record.data_length = length;
  record.header_reserved = bytes::GetLE32(in + 16);
  auto* out = static_cast<uint8_t*>(call.out);
  AttachData(command.request, record.direction == Direction::kOut ? in + kWowHeaderSize : out + kWowDataInOffset, length);
  command.wow64_output = out;
  return command;
}

uint8_t StatusFor(Outcome outcome) {
  if (outcome == Outcome::kGood) return platform::aspi::SS_COMP;
  return outcome == Outcome::kNoDevice ? platform::aspi::SS_NO_DEVICE : platform::aspi::SS_ERR;
}

std::array<uint8_t, 4> FormAnswer(const StiDriver& d) { return {d.escape_form_byte, 0, 0, 0}; }
std::array<uint8_t, 4> LockModeAnswer(const StiDriver& d) { return {d.lock_mode, 0, 0, 0}; }
std::array<uint8_t, 4> SpeedAnswer(const StiDriver& d) { return {d.usb_speed, 0, 0, 0}; }
std::array<uint8_t, 4> SpeedBlockAnswer(const StiDriver& d) { return {0, 0, 0, d.usb_speed}; }

const QueryEscape kQueries[] = {
    {kEscapeForm, 0, 1, FormAnswer},
    {kEscapeLockMode, 4, 1, LockModeAnswer},  // native: a 32-bit value
    {kEscapeUsbSpeed, 0, 1, SpeedAnswer},
    {kEscapeUsbBlock, 4, 4, SpeedBlockAnswer},
};

}  // namespace

bool IsCommandEscape(DWORD code) { return code == kEscapePassThrough || code == kEscapeDataIn || code == kEscapeDataOut; }

Transport CommandTransportOf(const EscapeCall& call) {
  if (call.code != kEscapePassThrough) return Transport::kEscapeDirect;
  return call.in_size == 0 ? Transport::kEscapePassThrough : Transport::kEscapeWow64;
}

std::optional<EscapeCommand> DecodeCommandEscape(const EscapeCall& call) {
  std::optional<EscapeCommand> command;
  const Transport transport = CommandTransportOf(call);
  if (transport == Transport::kEscapeDirect) command = DecodeDirect(call);
  else if (call.in) command = transport == Transport::kEscapePassThrough ? DecodePassThrough(call) : DecodeWow64(call);
  if (!command) return std::nullopt;
  Exchange& record = command->request.record;
  record.transport = transport;
  record.escape_code = call.code;
  record.in_size = call.in_size;
  record.out_size = call.out_size;
  return command;
}

void CompleteCommandEscape(const EscapeCall& call, const EscapeCommand& command, const WireResult& result) {
  const uint8_t status = StatusFor(result.outcome);
  const bool data_in = command.request.record.direction == Direction::kIn;
  if (command.native_status) *command.native_status = status;
  if (command.wow64_output) {
    bytes::PutLE32(command.wow64_output, status);
    *call.out_used = static_cast<DWORD>(data_in ? kWowDataInOffset + result.returned : 4);
  } else if (call.out_used) {
    *call.out_used = data_in ? result.returned : 0;
  }
}

const QueryEscape* FindQueryEscape(DWORD code) {
  for (const QueryEscape& query : kQueries)
    if (query.code == code) return &query;
  return nullptr;
}

bool AnswerQueryEscape(const EscapeCall& call, const QueryEscape& query, const StiDriver& driver) {
  const auto answer = query.answer(driver);
  const bool native = call.in && call.in_size == 0 && !call.out && call.out_size == 0;
  const bool output = !call.in && call.in_size == 0 && call.out && call.out_size == query.output_size;
  if (native && query.native_size) {
    std::memcpy(call.in, answer.data(), query.native_size);
    if (call.out_used) *call.out_used = 0;
    return true;
  }
  if (!output) return false;
  std::memcpy(call.out, answer.data(), query.output_size);
  if (call.out_used) *call.out_used = static_cast<DWORD>(query.output_size);
  return true;
}

}  // namespace emulator
