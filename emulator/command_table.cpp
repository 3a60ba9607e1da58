#include "emulator/command_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "emulator/command_handlers.h"
#include "platform/bytes.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;

constexpr uint8_t kTestUnitReady = 0x00;
constexpr uint8_t kRequestSense = 0x03;
constexpr uint8_t kInquiry = 0x12;
constexpr uint8_t kScan = 0x1B;
constexpr uint8_t kSetWindow = 0x24;
constexpr uint8_t kGetDataBufferStatus = 0x34;

constexpr uint16_t Zero(std::initializer_list<int> positions) {
  uint16_t mask = 0;
  for (int p : positions) mask = static_cast<uint16_t>(mask | 1u << p);
  return mask;
}
// Reserved bytes of each 10-byte form: byte 1 and the control byte always.
constexpr uint16_t kPlain = Zero({1, 3, 4, 5, 9});
constexpr uint16_t kQualified = Zero({1, 3, 5, 9});   // qualifier in byte 4
constexpr uint16_t kAddressed = Zero({1, 9});          // 24-bit offset in bytes 3-5
constexpr uint16_t kParameter = Zero({1, 6, 7, 8, 9});  // 24-bit value in bytes 3-5, no data
constexpr uint16_t kImageData = Zero({1, 3, 9});       // 16-bit qualifier in bytes 4-5
constexpr uint16_t kImageInfo = Zero({1, 3, 4, 9});    // qualifier in byte 5

CommandAnswer TestUnitReady(CommandContext&, const CommandInput&) { return {}; }

CommandAnswer RequestSense(CommandContext& context, const CommandInput& input) {
  const auto sense = EncodeSense(context.pending_sense.value_or(Sense{}));
  context.pending_sense.reset();
  return {Transfer(input.data_in, std::min<size_t>(input.cdb[4], sense.size()), sense), std::nullopt};
}

CommandAnswer Inquiry(CommandContext& context, const CommandInput& input) {
  if (input.cdb[1] & 0x01) return Refuse(kAscInvalidFieldInCdb);  // no vital product data pages
  return {Transfer(input.data_in, std::min<size_t>(input.cdb[4], kInquirySize), context.inquiry), std::nullopt};
}

CommandAnswer UnknownDataType(CommandContext&, const CommandInput&) { return Refuse(kAscInvalidFieldInCdb); }

const CommandRow kCommands[] = {
    {kTestUnitReady, std::nullopt, TestUnitReady},
    {kRequestSense, std::nullopt, RequestSense},
    {kInquiry, std::nullopt, Inquiry},
    {kScan, std::nullopt, Scan},
    {kSetWindow, std::nullopt, SetWindow},
    {kGetDataBufferStatus, std::nullopt, GetDataBufferStatus},
    {kOpRead10, 0x00, ReadImageData, kImageData},
    {kOpRead10, 0x80, ReadImageInfo, kImageInfo},
    {kOpRead10, 0x93, ReadConfiguration, kPlain},
    {kOpRead10, std::nullopt, UnknownDataType},

    {kOpVendorRead, 0x01, ReadStatus, kPlain},
    {kOpVendorRead, 0x30, ReadPositions, kPlain},
    {kOpVendorRead, 0x32, ReadKeySensor, kPlain},
    {kOpVendorRead, 0x33, ReadSensorLevels, kPlain},
    {kOpVendorRead, 0x41, ReadTestSettings, kPlain},
    {kOpVendorRead, 0x4B, ReadWord4B, kPlain},
    {kOpVendorRead, 0x4C, ReadBentPaper, kPlain},
    {kOpVendorRead, 0x81, ReadBoardInfo, kPlain},
    {kOpVendorRead, 0x83, ReadVersions, kPlain},
    {kOpVendorRead, 0x86, ReadSystemCounters, kPlain},
    {kOpVendorRead, 0x8A, ReadPaperMode, kPlain},
    {kOpVendorRead, 0x90, ReadCaution, kPlain},
    {kOpVendorRead, 0x92, ReadIdentity, kPlain},
    {kOpVendorRead, 0x96, ReadFlash, kAddressed},
    {kOpVendorRead, 0x9C, ReadRollerCounters, kPlain},
    {kOpVendorRead, 0x9E, ReadSleep, kPlain},
    {kOpVendorRead, 0xA1, ReadBuzzer, kPlain},
    {kOpVendorRead, 0xA2, ReadCompatibleMode, kPlain},
    {kOpVendorRead, 0xA3, ReadSpd, kQualified},
    {kOpVendorRead, 0xA4, ReadShadingSource, kPlain},
    {kOpVendorRead, 0xA7, ReadFeedSpeed, kPlain},
    {kOpVendorRead, 0xAA, ReadIndividualSettings, kPlain},
    {kOpVendorRead, std::nullopt, UnknownDataType},

    {kOpVendorWrite, 0x40, StartAdjustment, kPlain},
    {kOpVendorWrite, 0x45, SetServiceMode, kPlain},
    {kOpVendorWrite, 0x8A, WritePaperMode, kPlain},
    {kOpVendorWrite, 0x91, ClearCounter, kPlain},
    {kOpVendorWrite, 0x9D, WriteThresholds, kPlain},
    {kOpVendorWrite, 0x9F, WriteSleep, kPlain},
    {kOpVendorWrite, 0xA0, CleanImprinter, kPlain},
    {kOpVendorWrite, 0xA1, WriteBuzzer, kPlain},
    {kOpVendorWrite, 0xA2, WriteCompatibleMode, kPlain},
    {kOpVendorWrite, 0xA4, WriteShadingSource, kPlain},
    {kOpVendorWrite, 0xA9, WriteFlash, kAddressed},
    {kOpVendorWrite, 0xB1, SetModeBits, kParameter},
    {kOpVendorWrite, std::nullopt, UnknownDataType},

    {kOpFlatbedRead, 0x00, ReadFlatbedStatus, kPlain},
    {kOpFlatbedRead, 0x01, ReadFlatbedSleep, kPlain},
    {kOpFlatbedRead, 0x04, ReadFlatbedOption, kPlain},
    {kOpFlatbedRead, std::nullopt, UnknownDataType},
    {kOpFlatbedWrite, 0x02, WriteFlatbedSleep, kPlain},
    {kOpFlatbedWrite, std::nullopt, UnknownDataType},
};

bool ReservedBytesClear(const CommandRow& row, const uint8_t* cdb) {
  for (int i = 0; i < 10; ++i)
    if ((row.zero_bytes >> i & 1) && cdb[i] != 0) return false;
  return true;
}

// The profile's judgement of a data-typed command; nullopt lets it run.
std::optional<Sense> Admit(const CommandContext& context, const CommandRow& row, const CommandInput& input) {
  if (!ReservedBytesClear(row, input.cdb)) return IllegalRequest(kAscInvalidFieldInCdb);
  const Lengths* lengths = context.profile.Find(row.opcode, *row.data_type);
  if (!lengths || !AcceptsLength(*lengths, context.state, TransferLength(input)))
    return IllegalRequest(kAscInvalidFieldInCdb);
  return std::nullopt;
}

bool IsWrite(uint8_t opcode) { return opcode == kOpVendorWrite || opcode == kOpFlatbedWrite; }

// Keeps what an accepted write carried, for tests to inspect.
void RecordWrite(ScannerState& state, const CommandInput& input) {
  const uint8_t type = input.cdb[2];
  const uint32_t length = TransferLength(input);
  if (input.cdb[0] == kOpVendorWrite && length == 0) {
    state.vendor_parameters[type] = bytes::GetBE24(input.cdb + 3);
    return;
  }
  const size_t kept = std::min<size_t>(length, input.data_out.size());
  auto& writes = input.cdb[0] == kOpVendorWrite ? state.vendor_writes : state.flatbed_writes;
  writes[type].assign(input.data_out.begin(), input.data_out.begin() + static_cast<std::ptrdiff_t>(kept));
}

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
  if (input.cdb_length == 0) return Refuse(kAscInvalidOpcode);
  // Handlers read fixed CDB positions; give them a full-size copy.
  std::array<uint8_t, 16> cdb{};
  std::memcpy(cdb.data(), input.cdb, std::min<size_t>(input.cdb_length, cdb.size()));
  const CommandRow* row = FindCommand(cdb[0], cdb[2]);
  if (!row) return Refuse(kAscInvalidOpcode);
  if (input.cdb_length != ExpectedCdbLength(cdb[0])) return Refuse(kAscInvalidFieldInCdb);
  CommandInput padded = input;
  padded.cdb = cdb.data();
  // A raw answer stands in for whatever the data type would have answered.
  if (cdb[0] == kOpVendorRead) {
    auto raw = context.state.vendor_reads.find(cdb[2]);
    if (raw != context.state.vendor_reads.end()) return Reply(padded, raw->second);
  }
  if (row->data_type) {
    if (std::optional<Sense> refused = Admit(context, *row, padded)) return {0, refused};
  }
  CommandAnswer answer = row->handler(context, padded);
  if (row->data_type && IsWrite(cdb[0]) && !answer.sense) RecordWrite(context.state, padded);
  return answer;
}

}  // namespace emulator
