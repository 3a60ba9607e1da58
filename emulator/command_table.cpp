#include "emulator/command_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/bytes.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;

constexpr uint8_t kTestUnitReady = 0x00;
constexpr uint8_t kRequestSense = 0x03;
constexpr uint8_t kInquiry = 0x12;
constexpr uint8_t kVendorRead = 0xE0;
constexpr uint8_t kVendorWrite = 0xE1;
constexpr uint8_t kTypeCompatibleMode = 0xA2;

Sense IllegalRequest(uint8_t asc) { return Sense{kSenseIllegalRequest, asc, 0, 0, false, false}; }

// Fills min(wanted, buffer) bytes: the block first, zeros after it.
uint32_t Transfer(std::span<uint8_t> in, size_t wanted, std::span<const uint8_t> block) {
  const size_t n = std::min(wanted, in.size());
  const size_t copied = std::min(n, block.size());
  std::copy_n(block.begin(), copied, in.begin());
  std::fill(in.begin() + static_cast<std::ptrdiff_t>(copied), in.begin() + static_cast<std::ptrdiff_t>(n), 0);
  return static_cast<uint32_t>(n);
}

uint32_t TransferLength24(const CommandInput& input) { return bytes::GetBE24(input.cdb + 6); }

CommandAnswer TestUnitReady(CommandContext&, const CommandInput&) { return {}; }

CommandAnswer RequestSense(CommandContext& context, const CommandInput& input) {
  const auto sense = EncodeSense(context.pending_sense.value_or(Sense{}));
  context.pending_sense.reset();
  return {Transfer(input.data_in, std::min<size_t>(input.cdb[4], sense.size()), sense), std::nullopt};
}

CommandAnswer Inquiry(CommandContext& context, const CommandInput& input) {
  if (input.cdb[1] & 0x01) return {0, IllegalRequest(kAscInvalidFieldInCdb)};  // no vital product data pages
  return {Transfer(input.data_in, std::min<size_t>(input.cdb[4], kInquirySize), context.inquiry), std::nullopt};
}

CommandAnswer ReadCompatibleMode(CommandContext& context, const CommandInput& input) {
  return {Transfer(input.data_in, TransferLength24(input), context.state.compatible_mode), std::nullopt};
}

CommandAnswer VendorRead(CommandContext& context, const CommandInput& input) {
  const uint8_t type = input.cdb[2];
  const size_t wanted = TransferLength24(input);
  auto stored = context.state.vendor_reads.find(type);
  if (stored != context.state.vendor_reads.end()) return {Transfer(input.data_in, wanted, stored->second), std::nullopt};
  const size_t n = std::min(wanted, input.data_in.size());
  for (size_t i = 0; i < n; ++i) input.data_in[i] = VendorPattern(type, i);
  return {static_cast<uint32_t>(n), std::nullopt};
}

CommandAnswer VendorWrite(CommandContext& context, const CommandInput& input) {
  const uint8_t type = input.cdb[2];
  const uint32_t length = TransferLength24(input);
  if (length == 0) {
    context.state.vendor_parameters[type] = bytes::GetBE24(input.cdb + 3);
    return {};
  }
  const size_t kept = std::min<size_t>(length, input.data_out.size());
  context.state.vendor_writes[type].assign(input.data_out.begin(), input.data_out.begin() + static_cast<std::ptrdiff_t>(kept));
  return {};
}

const CommandRow kCommands[] = {
    {kTestUnitReady, std::nullopt, TestUnitReady},
    {kRequestSense, std::nullopt, RequestSense},
    {kInquiry, std::nullopt, Inquiry},
    {kVendorRead, kTypeCompatibleMode, ReadCompatibleMode},
    {kVendorRead, std::nullopt, VendorRead},
    {kVendorWrite, std::nullopt, VendorWrite},
};

}  // namespace

const CommandRow* FindCommand(uint8_t opcode, uint8_t data_type) {
  const CommandRow* any = nullptr;
  for (const CommandRow& row : kCommands) {
    if (row.opcode != opcode) continue;
    if (row.data_type == data_type) return &row;
    if (!row.data_type && !any) any = &row;
  }
  return any;
}

uint8_t ExpectedCdbLength(uint8_t opcode) {
  static constexpr std::array<uint8_t, 8> kByGroup = {6, 10, 10, 0, 16, 12, 10, 10};
  return kByGroup[opcode >> 5];
}

CommandAnswer RunCommand(CommandContext& context, const CommandInput& input) {
  if (input.cdb_length == 0) return {0, IllegalRequest(kAscInvalidOpcode)};
  // Handlers read fixed CDB positions; give them a full-size copy.
  std::array<uint8_t, 16> cdb{};
  std::memcpy(cdb.data(), input.cdb, std::min<size_t>(input.cdb_length, cdb.size()));
  const CommandRow* row = FindCommand(cdb[0], cdb[2]);
  if (!row) return {0, IllegalRequest(kAscInvalidOpcode)};
  if (input.cdb_length != ExpectedCdbLength(cdb[0])) return {0, IllegalRequest(kAscInvalidFieldInCdb)};
  CommandInput padded = input;
  padded.cdb = cdb.data();
  return row->handler(context, padded);
}

uint8_t VendorPattern(uint8_t data_type, size_t index) { return static_cast<uint8_t>(data_type + index); }

}  // namespace emulator
