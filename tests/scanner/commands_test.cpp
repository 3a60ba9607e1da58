// Every operation of the command layer against emulated scanners of each family:
// the bytes on the wire and the values decoded from the answers.
#include <gtest/gtest.h>

#include <functional>

#include "scanner/cdb.h"
#include "scanner/counter_commands.h"
#include "scanner/setting_commands.h"
#include "scanner/status_commands.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct Family {
  const char* product;
  uint8_t code;
  uint32_t system_length;  // as the counter panel asks
  uint32_t roller_length;  // 0: no roller counters
};

const Family kFamilies[] = {
    {"DE-T9786Z", 5, 14, 16},    // early
    {"DE-T2713Z", 12, 20, 16},   // production
    {"DE-T2723Z", 13, 20, 16},   // wide-body
    {"DE-T8713ZP", 17, 14, 16},  // wide-body
    {"DE-T5473Z", 33, 14, 0},    // interface board
    {"DE-T4793Z", 37, 14, 24},   // compact
    {"DE-T4783Z", 39, 14, 24},   // compact
};

Bytes Ten(uint8_t opcode, uint8_t type, uint32_t length) {
  return {opcode, 0, type, 0, 0, 0, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length), 0};
}

class CommandsTest : public ScannerTest {
 protected:
  void ForEachFamily(const std::function<void(const Family&)>& check, const DeviceSetup& setup = {}) {
    for (const Family& family : kFamilies) {
      SCOPED_TRACE(family.product);
      Connect(family.product, setup);
      ASSERT_EQ(context_.model_code, family.code);
      check(family);
      EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.boxes().front().text;
      TearDown();
      SetUp();
    }
  }

  // The one command since the log was cleared, after the TEST UNIT READY that every
  // operation here sends first.
  emulator::Exchange Sent() {
    const auto sent = scanner_->Commands();
    scanner_->ClearLog();
    EXPECT_EQ(sent.size(), 2u);
    if (sent.size() != 2) return {};
    EXPECT_EQ(sent[0].Cdb(), (Bytes{0, 0, 0, 0, 0, 0}));
    return sent[1];
  }

  void ExpectRead(uint8_t type, uint32_t length, uint8_t opcode = 0xE0) {
    const emulator::Exchange e = Sent();
    EXPECT_EQ(e.Cdb(), Ten(opcode, type, length)) << emulator::Describe(e);
    EXPECT_EQ(e.aspi_flags & 0x18, 0x08);
  }
  void ExpectWrite(uint8_t type, const Bytes& data, uint8_t opcode = 0xE1) {
    const emulator::Exchange e = Sent();
    EXPECT_EQ(e.Cdb(), Ten(opcode, type, static_cast<uint32_t>(data.size()))) << emulator::Describe(e);
    EXPECT_EQ(e.aspi_flags & 0x18, 0x10);
    EXPECT_EQ(e.data_out, data);
  }
  emulator::ScannerState State() const { return scanner_->State(); }
};

TEST_F(CommandsTest, StatusAndCautions) {
  ForEachFamily(
      [&](const Family& f) {
        ScannerStatus status;
        ASSERT_EQ(ReadScannerStatus(0, 2, status, false), 1);
        ExpectRead(0x01, 12);
        EXPECT_EQ(status.code, 0x11223344u);
        EXPECT_EQ(Bytes(status.bytes, status.bytes + 4), (Bytes{1, 2, 3, 4}));
        EXPECT_EQ(status.state, 3);
        EXPECT_EQ(status.result, 0);
        if (f.code < 12) return;  // the early family has no caution report
        CautionReport report;
        ASSERT_EQ(ReadCautionReport(0, 2, report, false), 1);
        ExpectRead(0x90, 12);
        EXPECT_EQ(report.clean_roller, 100);
        EXPECT_EQ(report.replace_roller, 2);
        EXPECT_EQ(report.back_plate, 255);
      },
      [](emulator::DeviceBuilder& d) { d.Status(0x11223344, {1, 2, 3, 4}, 3).Caution({100, 2, 0, 0, 0, 255}); });
}

TEST_F(CommandsTest, CountersThresholdsAndClearing) {
  ForEachFamily(
      [&](const Family& f) {
        SystemCounters system;
        ASSERT_EQ(ReadSystemCounters(0, 2, f.system_length, system, false), 1);
        ExpectRead(0x86, f.system_length);
        EXPECT_EQ(system.system, 123456u);
        EXPECT_EQ(system.flatbed, f.system_length == 20 ? 789u : 0u);
        if (!f.roller_length) return;
        RollerCounters rollers;
        ASSERT_EQ(ReadRollerCounters(0, 2, f.roller_length, rollers, false), 1);
        ExpectRead(0x9C, f.roller_length);
        EXPECT_EQ(rollers.after_clean, 1000u);
        EXPECT_EQ(rollers.after_replace, 2000u);
        EXPECT_EQ(rollers.clean_threshold, 5000u);
        EXPECT_EQ(rollers.replace_threshold, 6000u);
        EXPECT_EQ(rollers.paper_feed, f.roller_length == 24 ? 3000u : 0u);
        EXPECT_EQ(rollers.paper_feed_threshold, f.roller_length == 24 ? 7000u : 0u);

        const uint32_t threshold_length = f.roller_length == 24 ? 12 : 8;
        ASSERT_EQ(WriteCautionThresholds(0, 2, threshold_length, 0x010203, 0x040506, 0x070809), 1);
        Bytes data = {0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9};
        data.resize(threshold_length);
        ExpectWrite(0x9D, data);
        EXPECT_EQ(State().counters.clean_threshold, 0x010203u);
        EXPECT_EQ(State().counters.replace_threshold, 0x040506u);

        ASSERT_EQ(ClearCounter(0, 2, kClearAfterClean), 1);
        ExpectWrite(0x91, {128, 0, 0, 0});
        EXPECT_EQ(State().counters.after_clean, 0u);
        EXPECT_EQ(State().counters.after_replace, 2000u);
      },
      [](emulator::DeviceBuilder& d) {
        d.SystemCounts(123456, 789).RollerCounts(1000, 2000, 3000).Thresholds(5000, 6000, 7000);
      });
}

TEST_F(CommandsTest, SleepInTwoAndFourBytes) {
  struct Case {
    bool power_off;
    uint8_t minutes;
    uint8_t power_off_minutes;
    bool enabled;
    uint8_t shown;
    bool power_off_enabled;
    uint8_t power_off_shown;
  } const cases[] = {
      {false, 0, 0, false, 15, true, 30},
      {false, 20, 0, true, 20, true, 30},
      {true, 45, 0, true, 45, false, 30},
      {true, 0, 90, false, 15, true, 90},
  };
  for (const Case& c : cases) {
    Connect("DE-T4783Z", [&](emulator::DeviceBuilder& d) {
      d.PowerOffCapability(c.power_off).Sleep(c.minutes, c.power_off_minutes);
    });
    EXPECT_EQ(context_.power_off, c.power_off);
    SleepValues values;
    ASSERT_EQ(ReadSleepSetting(0, 2, context_.power_off, values), 1);
    ExpectRead(0x9E, c.power_off ? 4 : 2);
    EXPECT_EQ(values.sleep_enabled, c.enabled);
    EXPECT_EQ(values.sleep_minutes, c.shown);
    EXPECT_EQ(values.power_off_enabled, c.power_off_enabled);
    EXPECT_EQ(values.power_off_minutes, c.power_off_shown);

    values.sleep_enabled = !values.sleep_enabled;
    ASSERT_EQ(WriteSleepSetting(0, 2, context_.power_off, values), 1);
    Bytes sent = {0, values.sleep_enabled ? values.sleep_minutes : uint8_t{0}, 0,
                  values.power_off_enabled ? values.power_off_minutes : uint8_t{0}};
    sent.resize(c.power_off ? 4 : 2);
    ExpectWrite(0x9F, sent);
    EXPECT_EQ(State().sleep.sleep_minutes, sent[1]);
    TearDown();
    SetUp();
  }
}

TEST_F(CommandsTest, PaperModeBuzzerAndCompatibleMode) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) { d.PaperMode(0).Buzzer(1).CompatibleMode(16, 3); });
  EXPECT_EQ(context_.paper_mode, 0);
  EXPECT_EQ(context_.buzzer, 1);
  ASSERT_EQ(WritePaperMode(0, 2, 1), 1);
  ExpectWrite(0x8A, {1, 2});
  uint8_t mode = 9;
  ASSERT_EQ(ReadPaperMode(0, 2, mode), 1);
  ExpectRead(0x8A, 2);
  EXPECT_EQ(mode, 1);

  ASSERT_EQ(WriteBuzzerSetting(0, 2, 0), 1);
  ExpectWrite(0xA1, {0, 0});
  uint8_t buzzer = 9;
  ASSERT_EQ(ReadBuzzerSetting(0, 2, buzzer), 1);
  ExpectRead(0xA1, 2);
  EXPECT_EQ(buzzer, 0);

  ASSERT_EQ(WriteCompatibleMode(0, 2, 9), 1);
  ExpectWrite(0xA2, {0, 9});
  uint8_t code = 0, second = 0;
  ASSERT_EQ(ReadCompatibleMode(0, 2, code, second), 1);
  ExpectRead(0xA2, 2);
  EXPECT_EQ(code, 16);
  EXPECT_EQ(second, 9);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(CommandsTest, FlatbedUnitOfAScanner) {
  Connect("DE-T5713ZA", [](emulator::DeviceBuilder& d) {
    d.FlatbedAttached().Edit([](emulator::ScannerState& s) {
      s.flatbed.sleep_minutes = 25;
      s.flatbed.status.code = 0x02F00001;
      s.flatbed.status.bytes = {9, 0, 0, 0};
    });
  });
  EXPECT_TRUE(context_.flatbed_connected);
  EXPECT_TRUE(context_.flatbed_usable);
  EXPECT_EQ(ReadFlatbedOption(0, 2), 1);
  ExpectRead(0x04, 8, 0xE8);

  ScannerStatus status;
  ASSERT_EQ(ReadFlatbedStatus(0, 2, status, false), 1);
  ExpectRead(0x00, 12, 0xE8);
  EXPECT_EQ(status.code, 0x02F00001u);
  EXPECT_EQ(status.bytes[0], 9);

  uint8_t minutes = 0;
  ASSERT_EQ(ReadFlatbedSleep(0, 2, minutes), 1);
  ExpectRead(0x01, 2, 0xE8);
  EXPECT_EQ(minutes, 25);
  ASSERT_EQ(WriteFlatbedSleep(0, 2, 40), 1);
  ExpectWrite(0x02, {0, 40}, 0xE9);
  EXPECT_EQ(State().flatbed.sleep_minutes, 40);
}

TEST_F(CommandsTest, WithoutAFlatbedTheOptionReadsZeroSilently) {
  Connect("DE-T5713ZA");
  EXPECT_FALSE(context_.flatbed_usable);
  EXPECT_EQ(ReadFlatbedOption(0, 2), 0);
  uint8_t minutes = 4;
  EXPECT_EQ(ReadFlatbedSleep(0, 2, minutes), 0);
  EXPECT_EQ(minutes, 4);
  EXPECT_EQ(prompter_.boxes().size(), 1u);  // the sleep read is not quiet
}

TEST_F(CommandsTest, AFlatbedUnitAlone) {
  Connect("DE-TT767", [](emulator::DeviceBuilder& d) { d.Status(0x10000000); });
  EXPECT_EQ(context_.model_code, 44);
  ScannerStatus status;
  ASSERT_EQ(ReadScannerStatus(0, 2, status, false), 1);
  EXPECT_EQ(status.code, 0x10000000u);
  uint8_t minutes = 0;
  ASSERT_EQ(ReadFlatbedSleep(0, 2, minutes), 1);
  EXPECT_EQ(minutes, State().flatbed.sleep_minutes);
}

TEST_F(CommandsTest, AQuietReadFailsOnEveryNonZeroResult) {
  struct Case {
    const char* name;
    emulator::CommandFault fault;
    bool loud_answer;  // what the read answers without the quiet flag
  } const cases[] = {
      {"sense key 0", emulator::SenseFault({}, {0, 0, 0}, 1, 12), true},  // with the answer
      {"target busy", emulator::BusyFault({}), false},
      {"refused", emulator::SenseFault({}, {5, 0x24, 0}), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) { d.Status(0x11223344); });
    const auto read_status = [&](bool quiet) {
      emulator::CommandFault fault = c.fault;
      fault.match = emulator::CommandMatch::Command(0xE0, 0x01);
      scanner_->AddFault(fault);
      ScannerStatus status;
      const int answer = ReadScannerStatus(0, 2, status, quiet);
      EXPECT_NE(status.result, 0);  // the raw result is kept either way
      return answer;
    };
    const auto read_speed = [&](bool quiet, uint16_t& speed) {
      emulator::CommandFault fault = c.fault;
      fault.match = emulator::CommandMatch::Command(0xE0, 0xA7);
      scanner_->AddFault(fault);
      return ReadFeedSpeed(0, 2, speed, quiet);
    };
    EXPECT_EQ(read_status(true), 0);
    uint16_t speed = 77;
    EXPECT_EQ(read_speed(true, speed), 0);
    EXPECT_EQ(speed, 0);  // a quiet failure reports speed 0
    EXPECT_TRUE(prompter_.boxes().empty());

    EXPECT_EQ(read_status(false), c.loud_answer);
    speed = 77;
    EXPECT_EQ(read_speed(false, speed), c.loud_answer);
    EXPECT_EQ(speed, c.loud_answer ? 1200 : 77);
    EXPECT_EQ(prompter_.boxes().size(), c.loud_answer ? 0u : 2u);
    TearDown();
    SetUp();
  }
}

TEST_F(CommandsTest, AWrongLengthIsRefusedByTheScanner) {
  Connect("DE-T2713Z");
  uint8_t buffer[24] = {};
  const uint16_t result = cdb::VendorRead(0, 2, 0x9C, buffer, 24);
  ASSERT_TRUE(device::HasSense(result));
  EXPECT_EQ(device::GetLastSense().sense_key, 5);
  EXPECT_EQ(device::GetLastSense().asc, 0x24);
  RollerCounters rollers;
  rollers.after_clean = 77;
  EXPECT_EQ(ReadRollerCounters(0, 2, 24, rollers, true), 0);
  EXPECT_EQ(rollers.after_clean, 77u);  // a failed read changes nothing
  EXPECT_TRUE(prompter_.boxes().empty());
  EXPECT_EQ(ReadRollerCounters(0, 2, 24, rollers, false), 0);
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

}  // namespace
}  // namespace scanner::testing
