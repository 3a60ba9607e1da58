// Simulated-scanner mode: no I/O, values from section Debug of scUtil.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "device/device_library.h"
#include "scanner/counter_commands.h"
#include "scanner/diagnostic_commands.h"
#include "scanner/setting_commands.h"
#include "scanner/status_commands.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

// No bus at all: every exchange would fail if it were sent.
class SimulatedTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    device::SetSimulatedScanner(true);
  }
};

TEST_F(SimulatedTest, StatusBytesTakeTheirKeys) {
  WriteIni("[Debug]\nDummySts2=5\n");
  ScannerStatus status;
  ASSERT_EQ(ReadScannerStatus(0, 0, status, false), 1);
  EXPECT_EQ(std::vector<uint8_t>(status.bytes, status.bytes + 4), (std::vector<uint8_t>{0, 0, 5, 0}));
  EXPECT_EQ(status.code, 0u);

  WriteIni("[debug]\ndummytt767sts0=7\nDummySts0=9\n");
  ASSERT_EQ(ReadFlatbedStatus(0, 0, status, true), 1);
  EXPECT_EQ(status.bytes[0], 7);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(SimulatedTest, CautionsAndCounters) {
  WriteIni("[Debug]\nDummyReplaceRollerCaution=1\nDummyCleanBackPlateCaution=2\nDummySystemCount=1234\n"
           "DummyFlatbedCount=56\nDummyCleanCount=7\nDummyRep2Count=8\n");
  CautionReport report;
  ASSERT_EQ(ReadCautionReport(0, 0, report, true), 1);
  EXPECT_EQ(report.clean_roller, 0);
  EXPECT_EQ(report.replace_roller, 100);
  EXPECT_EQ(report.back_plate, 255);
  EXPECT_EQ(report.front_lamp, 0);

  // The short forms carry no flatbed count and no paper-feed values.
  SystemCounters system;
  ASSERT_EQ(ReadSystemCounters(0, 0, 14, system, true), 1);
  EXPECT_EQ(system.system, 1234u);
  EXPECT_EQ(system.flatbed, 0u);
  ASSERT_EQ(ReadSystemCounters(0, 0, 20, system, true), 1);
  EXPECT_EQ(system.flatbed, 56u);
  RollerCounters rollers;
  ASSERT_EQ(ReadRollerCounters(0, 0, 16, rollers, true), 1);
  EXPECT_EQ(rollers.after_clean, 7u);
  EXPECT_EQ(rollers.clean_threshold, 1000000u);
  EXPECT_EQ(rollers.after_replace, 14999999u);
  EXPECT_EQ(rollers.paper_feed, 0u);
  EXPECT_EQ(rollers.paper_feed_threshold, 0u);
  ASSERT_EQ(ReadRollerCounters(0, 0, 24, rollers, true), 1);
  EXPECT_EQ(rollers.paper_feed, 8u);
  EXPECT_EQ(rollers.paper_feed_threshold, 1000000u);
}

TEST_F(SimulatedTest, FixedAnswers) {
  SleepValues sleep;
  sleep.sleep_enabled = false;
  ASSERT_EQ(ReadSleepSetting(0, 0, false, sleep), 1);
  EXPECT_TRUE(sleep.sleep_enabled);
  EXPECT_EQ(sleep.sleep_minutes, 15);

  std::array<uint8_t, 6> levels{};
  ASSERT_EQ(ReadBentPaperLevels(0, 0, levels), 1);
  EXPECT_EQ(levels, (std::array<uint8_t, 6>{155, 156, 0, 153, 154, 0}));

  TestSettingsBlock block;
  ASSERT_EQ(ReadTestSettings(0, 0, 13, block, true), 1);
  EXPECT_EQ(block.length, 18u);
  EXPECT_EQ(block.bytes[6], 4);
  EXPECT_EQ(block.bytes[13], 10);
  EXPECT_EQ(block.bytes[16], 18);
  ASSERT_EQ(ReadTestSettings(0, 0, 1, block, true), 1);
  EXPECT_EQ(block.length, 16u);
  EXPECT_EQ(block.bytes[6], 7);
  EXPECT_EQ(block.bytes[2] << 8 | block.bytes[3], 200);
}

TEST_F(SimulatedTest, IdentificationTakesTheDebugValues) {
  WriteIni("[Debug]\nDummyMemsize1=256\nDummyMemSize2=128\nDummyImprinter2=0\nDummyTT767Connect=1\n"
           "DummyMainBoardVer=4\nDummyGaVer1=6\nDummyTerminator=1\n");
  device::DeviceRecord record{};
  std::memcpy(record.Inquiry + 16, "DE-T9733A       ", 16);
  record.kind = device::kKindStiOther;
  ASSERT_EQ(IdentifyScanner(context_, record, false), 1);
  EXPECT_EQ(context_.model_code, 16);  // presents code 18
  EXPECT_EQ(context_.compatible_code, 18);
  EXPECT_EQ(context_.memory_mb, 256);
  EXPECT_EQ(context_.back_memory_mb, 128);
  EXPECT_TRUE(context_.pre_imprinter);
  EXPECT_FALSE(context_.post_imprinter);
  EXPECT_TRUE(context_.flatbed_connected);
  EXPECT_TRUE(context_.flatbed_usable);
  EXPECT_EQ(context_.control_board, 4);
  EXPECT_EQ(context_.gate_array[0], 6);
  EXPECT_TRUE(context_.terminator);
  EXPECT_STREQ(context_.firmware_version, "1.00");
  EXPECT_EQ(context_.firmware_revision, '0');
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(SimulatedTest, MemoryModulesOfASimulatedScannerReadAsZeros) {
  // A real scanner's modules first, so that what they left behind would show.
  device::SetSimulatedScanner(false);
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2723Z").OnAspi(0, 2).Edit([](emulator::ScannerState& s) {
    s.spd_front.fill(0x5A);
    s.spd_back.fill(0xA5);
  });
  Attach(builder);
  for (const bool simulated : {false, true}) {
    device::SetSimulatedScanner(simulated);
    ASSERT_EQ(IdentifyScanner(context_, records_.front(), false), 1);
    if (!simulated) {
      ASSERT_EQ(context_.spd_back[0], 0xA5);
    }
  }
  EXPECT_EQ(std::count(std::begin(context_.spd_front), std::end(context_.spd_front), 0), 128);
  EXPECT_EQ(std::count(std::begin(context_.spd_back), std::end(context_.spd_back), 0), 128);
}

}  // namespace
}  // namespace scanner::testing
