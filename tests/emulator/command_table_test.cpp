#include "emulator/command_table.h"

#include <gtest/gtest.h>

#include "emulator/emulated_device.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::CommandMatch;
using emulator::Direction;
using emulator::Outcome;
using emulator::Sense;

struct Answer {
  emulator::WireResult result;
  Bytes data;
};

// Runs a command the way the still-image path does: the sense stays pending.
Answer Exec(emulator::EmulatedDevice& device, const Bytes& cdb, size_t in_length = 0, const Bytes& out = {}) {
  emulator::WireRequest request;
  request.record.transport = emulator::Transport::kEscapePassThrough;
  request.record.cdb_area = cdb;
  request.record.cdb_length = static_cast<uint8_t>(cdb.size());
  request.record.direction = in_length ? Direction::kIn : out.empty() ? Direction::kNone : Direction::kOut;
  request.record.data_out = out;
  Answer answer;
  answer.data.assign(in_length, 0xCC);
  request.data_in = answer.data;
  answer.result = device.Execute(request);
  answer.data.resize(answer.result.returned);
  return answer;
}

Bytes SenseBytes(uint8_t key, uint8_t asc, uint8_t ascq) {
  Bytes b(14, 0);
  b[0] = 0x70;
  b[2] = key;
  b[7] = 10;
  b[12] = asc;
  b[13] = ascq;
  return b;
}

class CommandTableTest : public ::testing::Test {
 protected:
  emulator::EmulatedDevice device{emulator::DeviceBuilder("d").Product("DE-T2713Z").Revision("2.10").Build()};
};

TEST_F(CommandTableTest, RefusedCommandsAnswerIllegalRequest) {
  struct Case {
    const char* what;
    Bytes cdb;
    uint8_t asc;
  };
  const Case cases[] = {
      {"unknown opcode", {0x1B, 0, 0, 0, 0, 0}, 0x20},
      {"unknown opcode, vendor group", Cdb10(0xE8, 0x00, 12), 0x20},
      {"vendor read sent as six bytes", {0xE0, 0, 0x01, 0, 0, 12}, 0x24},
      {"test unit ready sent as ten bytes", Cdb10(0x00, 0, 0), 0x24},
      {"inquiry asking for a page", {0x12, 1, 0x80, 0, 0x60, 0}, 0x24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Answer failed = Exec(device, c.cdb, 12);
    EXPECT_EQ(failed.result.outcome, Outcome::kCheckCondition);
    EXPECT_EQ(Bytes(failed.result.sense.begin(), failed.result.sense.begin() + 14), SenseBytes(5, c.asc, 0));
    EXPECT_EQ(Exec(device, kRequestSense, 14).data, SenseBytes(5, c.asc, 0));
    EXPECT_EQ(Exec(device, kRequestSense, 14).data, SenseBytes(0, 0, 0)) << "sense is cleared once read";
  }
}

TEST_F(CommandTableTest, PendingSenseLastsUntilTheNextOtherCommand) {
  Exec(device, {0x1B, 0, 0, 0, 0, 0});
  EXPECT_TRUE(device.PendingSense());
  Exec(device, kTestUnitReady);
  EXPECT_EQ(Exec(device, kRequestSense, 14).data, SenseBytes(0, 0, 0));

  // A longer request sense gets the 18 bytes of fixed-format sense, no more.
  Exec(device, {0x1B, 0, 0, 0, 0, 0});
  EXPECT_EQ(Exec(device, {0x03, 0, 0, 0, 0xFF, 0}, 64).data.size(), 18u);
}

TEST_F(CommandTableTest, InquiryHonoursAllocationLengthAndRawOverride) {
  const Answer full = Exec(device, kInquiry, 96);
  ASSERT_EQ(full.data.size(), 96u);
  EXPECT_EQ(std::string(full.data.begin() + 8, full.data.begin() + 36), "VORANTEKDE-T2713Z       2.10");
  EXPECT_EQ(Exec(device, {0x12, 0, 0, 0, 36, 0}, 96).data, Bytes(full.data.begin(), full.data.begin() + 36));

  std::array<uint8_t, 96> raw{};
  raw.fill(0x41);
  emulator::EmulatedDevice odd(emulator::DeviceBuilder("odd").RawInquiry(raw).Build());
  EXPECT_EQ(Exec(odd, kInquiry, 96).data, Bytes(96, 0x41));
}

TEST_F(CommandTableTest, VendorReadsAnswerStateOrPattern) {
  device.SetCompatibleMode(17, 3);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0xA2, 2), 2).data, (Bytes{17, 3}));

  const Answer pattern = Exec(device, Cdb10(0xE0, 0x86, 14), 14);
  ASSERT_EQ(pattern.data.size(), 14u);
  EXPECT_EQ(pattern.data[0], 0x86);
  EXPECT_EQ(pattern.data[13], 0x93);

  device.SetVendorRead(0x01, {9, 8, 7});
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 5), 5).data, (Bytes{9, 8, 7, 0, 0})) << "zero-filled past the block";
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 2), 2).data, (Bytes{9, 8}));
}

TEST_F(CommandTableTest, VendorWritesAreKeptPerDataType) {
  EXPECT_EQ(Exec(device, Cdb10(0xE1, 0x9D, 8), 0, {0, 0, 0, 1, 0, 0, 0, 2}).result.outcome, Outcome::kGood);
  Exec(device, Cdb10(0xE1, 0xA1, 2), 0, {1, 0});
  Exec(device, {0xE1, 0, 0xB1, 0x00, 0x00, 0x01, 0, 0, 0, 0});
  const emulator::ScannerState state = device.State();
  EXPECT_EQ(state.vendor_writes.at(0x9D), (Bytes{0, 0, 0, 1, 0, 0, 0, 2}));
  EXPECT_EQ(state.vendor_writes.at(0xA1), (Bytes{1, 0}));
  EXPECT_EQ(state.vendor_parameters.at(0xB1), 1u);
}

TEST_F(CommandTableTest, AnswerFaults) {
  device.AddFault(emulator::ShortAnswerFault(CommandMatch::Command(0xE0, 0x86), 3));
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x86, 14), 14).data, (Bytes{0x86, 0x87, 0x88}));

  device.AddFault(emulator::ShortAnswerFault(CommandMatch::Command(0xE0, 0x86), 0));
  EXPECT_TRUE(Exec(device, Cdb10(0xE0, 0x86, 14), 14).data.empty());

  device.AddFault(emulator::GarbageAnswerFault(CommandMatch::Opcode(0x12)));
  const Answer junk = Exec(device, kInquiry, 96);
  EXPECT_EQ(junk.data.size(), 96u);
  EXPECT_NE(junk.data, Exec(device, kInquiry, 96).data);

  // Data with the sense, as a read ending early does.
  device.AddFault(emulator::SenseFault(CommandMatch::Opcode(0xE0), Sense{0, 0, 0, 10, true, true}, 1, 4));
  const Answer early = Exec(device, Cdb10(0xE0, 0x86, 14), 14);
  EXPECT_EQ(early.result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(early.data, (Bytes{0x86, 0x87, 0x88, 0x89}));
  EXPECT_EQ(Exec(device, kRequestSense, 14).data[2], 0x60);
}

TEST_F(CommandTableTest, FaultMatchingAndCounts) {
  device.AddFault(emulator::SenseFault(CommandMatch::Command(0xE0, 0x01), Sense{2, 4, 1}, 2));
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x90, 12), 12).result.outcome, Outcome::kGood) << "other data type";
  EXPECT_EQ(Exec(device, Cdb10(0xE1, 0x01, 0)).result.outcome, Outcome::kGood) << "other opcode";
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kGood);

  device.AddFault(emulator::SenseFault(CommandMatch::Any(), Sense{6, 0x29, 0}, emulator::kAlways));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Exec(device, kTestUnitReady).result.outcome, Outcome::kCheckCondition);
  device.ClearFaults();
  EXPECT_EQ(Exec(device, kTestUnitReady).result.outcome, Outcome::kGood);
}

}  // namespace
