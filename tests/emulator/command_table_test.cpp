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

class CommandTableTest : public ::testing::Test {
 protected:
  emulator::EmulatedDevice device{
      emulator::DeviceBuilder("d").Product("DE-T2713Z").Revision("2.10").SystemCounts(0x01020304, 0x0A0B0C0D).Build()};
};

TEST_F(CommandTableTest, RefusedCommandsAnswerIllegalRequest) {
  struct Case {
    const char* what;
    Bytes cdb;
    uint8_t asc;
  };
  const Case cases[] = {
      {"unknown opcode", {0x1D, 0, 0, 0, 0, 0}, 0x20},
      {"unknown opcode, vendor group", Cdb10(0xEA, 0x00, 12), 0x20},
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
  Exec(device, {0x1D, 0, 0, 0, 0, 0});
  EXPECT_TRUE(device.PendingSense());
  Exec(device, kTestUnitReady);
  EXPECT_EQ(Exec(device, kRequestSense, 14).data, SenseBytes(0, 0, 0));

  // A longer request sense gets the 18 bytes of fixed-format sense, no more.
  Exec(device, {0x1D, 0, 0, 0, 0, 0});
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

TEST_F(CommandTableTest, VendorReadsAnswerStateOrRawBlock) {
  device.SetCompatibleMode(17, 3);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0xA2, 2), 2).data, (Bytes{17, 3}));

  const Bytes counters = Exec(device, Cdb10(0xE0, 0x86, 20), 20).data;
  ASSERT_EQ(counters.size(), 20u);
  EXPECT_EQ(Bytes(counters.begin(), counters.begin() + 4), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(Bytes(counters.begin() + 16, counters.end()), (Bytes{0x0A, 0x0B, 0x0C, 0x0D}));

  // A raw block wins, whatever the length asked.
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
  const Bytes cdb = Cdb10(0xE0, 0x86, 20);
  device.AddFault(emulator::ShortAnswerFault(CommandMatch::Command(0xE0, 0x86), 3));
  EXPECT_EQ(Exec(device, cdb, 20).data, (Bytes{1, 2, 3}));

  device.AddFault(emulator::ShortAnswerFault(CommandMatch::Command(0xE0, 0x86), 0));
  EXPECT_TRUE(Exec(device, cdb, 20).data.empty());

  device.AddFault(emulator::ZeroAnswerFault(CommandMatch::Command(0xE0, 0x86)));
  const Answer zeros = Exec(device, cdb, 20);
  EXPECT_EQ(zeros.result.outcome, Outcome::kGood);
  EXPECT_EQ(zeros.data, Bytes(20, 0));

  device.AddFault(emulator::GarbageAnswerFault(CommandMatch::Opcode(0x12)));
  const Answer junk = Exec(device, kInquiry, 96);
  EXPECT_EQ(junk.data.size(), 96u);
  EXPECT_NE(junk.data, Exec(device, kInquiry, 96).data);

  // Data with the sense, as a read ending early does.
  device.AddFault(emulator::SenseFault(CommandMatch::Opcode(0xE0), Sense{0, 0, 0, 10, true, true}, 1, 4));
  const Answer early = Exec(device, cdb, 20);
  EXPECT_EQ(early.result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(early.data, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(Exec(device, kRequestSense, 14).data[2], 0x60);
}

TEST_F(CommandTableTest, FaultMatchingAndCounts) {
  device.AddFault(emulator::SenseFault(CommandMatch::Command(0xE0, 0x01), Sense{2, 4, 1}, 2));
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x90, 12), 12).result.outcome, Outcome::kGood) << "other data type";
  EXPECT_EQ(Exec(device, Cdb10(0xE1, 0xB1, 0)).result.outcome, Outcome::kGood) << "other opcode";
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kGood);

  device.AddFault(emulator::SenseFault(CommandMatch::Any(), Sense{6, 0x29, 0}, emulator::kAlways));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Exec(device, kTestUnitReady).result.outcome, Outcome::kCheckCondition);
  device.ClearFaults();
  EXPECT_EQ(Exec(device, kTestUnitReady).result.outcome, Outcome::kGood);
}

}  // namespace
