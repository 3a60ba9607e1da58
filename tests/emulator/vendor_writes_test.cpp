// Writes change what later reads answer; a write the scanner cannot take changes
// nothing and is refused.
#include <functional>

#include <gtest/gtest.h>

#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::DeviceBuilder;
using emulator::EmulatedDevice;
using emulator::Outcome;
using emulator::ScannerState;

struct WriteCase {
  const char* what;
  const char* product;
  Bytes write;
  Bytes data;
  Bytes read;
  Bytes before;
  Bytes after;
};

TEST(VendorWritesTest, WritesShowInLaterReads) {
  const WriteCase cases[] = {
      {"thresholds, two", "DE-T2713Z", Cdb10(0xE1, 0x9D, 8), {0, 0, 0x13, 0x88, 0, 1, 0x86, 0xA0}, Cdb10(0xE0, 0x9C, 16),
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 0x27, 0x10, 0, 3, 0x0D, 0x40},
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 0x13, 0x88, 0, 1, 0x86, 0xA0}},
      {"thresholds, three", "DE-T4793Z", Cdb10(0xE1, 0x9D, 12), {0, 0, 0, 9, 0, 0, 0, 8, 0, 0, 0, 7},
       Cdb10(0xE0, 0x9C, 24),
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 3, 0xE8, 0, 3, 0x0D, 0x40, 0, 0, 0xBC, 0x52, 0, 3, 0x0D, 0x40},
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 0, 9, 0, 0, 0, 8, 0, 0, 0xBC, 0x52, 0, 0, 0, 7}},
      {"clear after-clean", "DE-T4793Z", Cdb10(0xE1, 0x91, 4), {0x80, 0, 0, 0}, Cdb10(0xE0, 0x9C, 24),
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 3, 0xE8, 0, 3, 0x0D, 0x40, 0, 0, 0xBC, 0x52, 0, 3, 0x0D, 0x40},
       {0, 0, 0, 0, 0, 0, 0xBC, 0x52, 0, 0, 3, 0xE8, 0, 3, 0x0D, 0x40, 0, 0, 0xBC, 0x52, 0, 3, 0x0D, 0x40}},
      {"clear after-replace", "DE-T2713Z", Cdb10(0xE1, 0x91, 4), {0x40, 0, 0, 0}, Cdb10(0xE0, 0x9C, 16),
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 0x27, 0x10, 0, 3, 0x0D, 0x40},
       {0, 0, 5, 0xF0, 0, 0, 0, 0, 0, 0, 0x27, 0x10, 0, 3, 0x0D, 0x40}},
      {"clear paper feed", "DE-T4797Z", Cdb10(0xE1, 0x91, 4), {0x20, 0, 0, 0}, Cdb10(0xE0, 0x9C, 24),
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 3, 0xE8, 0, 3, 0x0D, 0x40, 0, 0, 0xBC, 0x52, 0, 3, 0x0D, 0x40},
       {0, 0, 5, 0xF0, 0, 0, 0xBC, 0x52, 0, 0, 3, 0xE8, 0, 3, 0x0D, 0x40, 0, 0, 0, 0, 0, 3, 0x0D, 0x40}},
      {"sleep, short form", "DE-T4783Z", Cdb10(0xE1, 0x9F, 2), {0, 0}, Cdb10(0xE0, 0x9E, 2), {0, 15}, {0, 0}},
      {"sleep with power-off", "DE-T4713Z", Cdb10(0xE1, 0x9F, 4), {0, 25, 0, 0}, Cdb10(0xE0, 0x9E, 4), {0, 15, 0, 30},
       {0, 25, 0, 0}},
      {"paper mode", "DE-T2713Z", Cdb10(0xE1, 0x8A, 2), {0, 2}, Cdb10(0xE0, 0x8A, 2), {1, 0}, {0, 0}},
      {"buzzer", "DE-T2723Z", Cdb10(0xE1, 0xA1, 2), {0, 0}, Cdb10(0xE0, 0xA1, 2), {1, 0}, {0, 0}},
      {"compatible mode", "DE-T5713ZA", Cdb10(0xE1, 0xA2, 2), {0, 3}, Cdb10(0xE0, 0xA2, 2), {18, 18}, {18, 3}},
      {"compatible mode back to its own", "DE-T2713Z", Cdb10(0xE1, 0xA2, 2), {0, 16}, Cdb10(0xE0, 0xA2, 2), {16, 16},
       {16, 16}},
      {"shading source", "DE-T2713Z", Cdb10(0xE1, 0xA4, 2), {1, 0}, Cdb10(0xE0, 0xA4, 2), {0, 0}, {1, 0}},
      {"flash, last bytes of the area", "DE-T4783Z", Cdb10At(0xE1, 0xA9, 4, 0x0F, 0xFF, 0xFC), {1, 2, 3, 4},
       Cdb10At(0xE0, 0x96, 4, 0x0F, 0xFF, 0xFC), {0x00, 0x02, 0x08, 0x20}, {1, 2, 3, 4}},
      {"flatbed sleep", "DE-T8713ZP", Cdb10(0xE9, 0x02, 2), {0, 40}, Cdb10(0xE8, 0x01, 2), {0, 15}, {0, 40}},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    EmulatedDevice device(DeviceBuilder("d").Product(c.product).FlatbedAttached().Build());
    EXPECT_EQ(Exec(device, c.read, c.before.size()).data, c.before);
    const Answer written = Exec(device, c.write, 0, c.data);
    EXPECT_EQ(written.result.outcome, Outcome::kGood);
    EXPECT_EQ(Exec(device, c.read, c.after.size()).data, c.after);
    const ScannerState state = device.State();
    EXPECT_EQ(c.write[0] == 0xE1 ? state.vendor_writes.at(c.write[2]) : state.flatbed_writes.at(c.write[2]), c.data);
  }
}

// The roller bytes of the caution report (bytes 0-1 of E0 0x90).
Bytes RollerCautions(EmulatedDevice& device) {
  const Bytes report = Exec(device, Cdb10(0xE0, 0x90, 12), 12).data;
  return Bytes(report.begin(), report.begin() + 2);
}

Bytes Thresholds(uint32_t clean, uint32_t replace) {
  Bytes data(12, 0);
  for (int i = 0; i < 4; ++i) {
    data[i] = uint8_t(clean >> (24 - 8 * i));
    data[4 + i] = uint8_t(replace >> (24 - 8 * i));
  }
  return data;
}

TEST(VendorWritesTest, RollerCautionsFollowTheCountsAndThresholdsTheWiresChange) {
  EmulatedDevice device(
      DeviceBuilder("d").Product("DE-T4783Z").RollerCounts(1000, 150000).Thresholds(1000, 200000).Build());
  const Bytes clear_clean = {0x80, 0, 0, 0}, clear_replace = {0x40, 0, 0, 0};
  EXPECT_EQ(RollerCautions(device), (Bytes{100, 75}));
  ASSERT_EQ(Exec(device, Cdb10(0xE1, 0x91, 4), 0, clear_clean).result.outcome, Outcome::kGood);
  EXPECT_EQ(RollerCautions(device), (Bytes{0, 75})) << "cleaned";
  ASSERT_EQ(Exec(device, Cdb10(0xE1, 0x9D, 12), 0, Thresholds(1000, 150000)).result.outcome, Outcome::kGood);
  EXPECT_EQ(RollerCautions(device), (Bytes{0, 100})) << "the count has reached the lower threshold";
  device.EditState([](ScannerState& s) { s.counters.after_clean = 1001; });
  EXPECT_EQ(RollerCautions(device), (Bytes{100, 100})) << "pages fed past the threshold";
  ASSERT_EQ(Exec(device, Cdb10(0xE1, 0x91, 4), 0, clear_replace).result.outcome, Outcome::kGood);
  EXPECT_EQ(RollerCautions(device), (Bytes{100, 0})) << "replaced";
}

TEST(VendorWritesTest, AForcedRollerCautionStaysWhateverTheCounts) {
  EmulatedDevice device(DeviceBuilder("d")
                            .Product("DE-T4783Z")
                            .RollerCounts(1000, 0)
                            .Thresholds(1000, 200000)
                            .Caution({100, 0, 0, 0, 0xFF, 0})
                            .Build());
  ASSERT_EQ(Exec(device, Cdb10(0xE1, 0x91, 4), 0, {0x80, 0, 0, 0}).result.outcome, Outcome::kGood);
  device.EditState([](ScannerState& s) { s.counters.after_replace = 250000; });
  EXPECT_EQ(Exec(device, Cdb10(0xE0, 0x90, 12), 12).data, (Bytes{100, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0}));
  device.EditState([](ScannerState& s) { s.caution.clean_roller.reset(); });
  EXPECT_EQ(RollerCautions(device), (Bytes{0, 0})) << "only the clean roller follows its count again";
}

TEST(VendorWritesTest, WritesTheScannerCannotTakeChangeNothing) {
  struct Case {
    const char* what;
    const char* product;
    Bytes write;
    Bytes data;
    uint8_t asc;
    uint8_t ascq;
  };
  const Case cases[] = {
      {"paper mode without its selector", "DE-T2713Z", Cdb10(0xE1, 0x8A, 2), {0, 1}, 0x26, 0},
      {"no such paper mode", "DE-T2713Z", Cdb10(0xE1, 0x8A, 2), {5, 2}, 0x26, 0},
      {"paper feed counter on a model without one", "DE-T2713Z", Cdb10(0xE1, 0x91, 4), {0x20, 0, 0, 0}, 0x26, 0},
      {"no counter selected", "DE-T2713Z", Cdb10(0xE1, 0x91, 4), {0, 0, 0, 0}, 0x26, 0},
      {"a model it cannot present", "DE-T5713ZA", Cdb10(0xE1, 0xA2, 2), {0, 9}, 0x26, 0},
      {"compatible mode with byte 0 set", "DE-T5713ZA", Cdb10(0xE1, 0xA2, 2), {1, 3}, 0x26, 0},
      {"another model of no choices", "DE-T9793", Cdb10(0xE1, 0xA2, 2), {0, 16}, 0x26, 0},
      {"no such shading source", "DE-T2713Z", Cdb10(0xE1, 0xA4, 2), {2, 0}, 0x26, 0},
      {"an adjustment other than shading", "DE-T2713Z", Cdb10(0xE1, 0x40, 2), {0x40, 0}, 0x26, 0},
      {"cleaning without an imprinter", "DE-T2713Z", Cdb10(0xE1, 0xA0, 2), {0, 100}, 0x2C, 0x82},
      {"flash below the area", "DE-T4783Z", Cdb10At(0xE1, 0xA9, 4, 0x0B, 0xFF, 0xFF), {1, 2, 3, 4}, 0x24, 0},
      {"flash across its end", "DE-T4783Z", Cdb10At(0xE1, 0xA9, 4, 0x0F, 0xFF, 0xFD), {1, 2, 3, 4}, 0x24, 0},
      {"flash at the other layout's address", "DE-T4713Z", Cdb10At(0xE1, 0xA9, 4, 0x0C, 0, 0), {1, 2, 3, 4}, 0x24, 0},
      {"flatbed sleep with byte 0 set", "DE-T8713ZP", Cdb10(0xE9, 0x02, 2), {1, 40}, 0x26, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EmulatedDevice device(DeviceBuilder("d").Product(c.product).FlatbedAttached().Build());
    const ScannerState before = device.State();
    EXPECT_TRUE(IsRefused(Exec(device, c.write, 0, c.data), c.asc, c.ascq));
    const ScannerState after = device.State();
    EXPECT_TRUE(after.vendor_writes.empty() && after.flatbed_writes.empty());
    EXPECT_EQ(after.paper_mode, before.paper_mode);
    EXPECT_EQ(after.counters.after_clean, before.counters.after_clean);
    EXPECT_EQ(after.compatible_mode, before.compatible_mode);
    EXPECT_EQ(after.shading_source, before.shading_source);
    EXPECT_EQ(after.adjustments, 0);
    EXPECT_EQ(after.imprinter_cleanings, 0);
    EXPECT_TRUE(std::equal(after.flash.view().begin(), after.flash.view().end(), before.flash.view().begin()));
    EXPECT_EQ(after.flatbed.sleep_minutes, before.flatbed.sleep_minutes);
  }
}

TEST(VendorWritesTest, ServiceModeAdjustmentAndCleaningAreRemembered) {
  EmulatedDevice device(DeviceBuilder("d").Product("DE-T2713Z").Imprinters(false, true).Build());
  Exec(device, Cdb10(0xE1, 0x45, 2), 0, {0xC5, 3});
  ScannerState state = device.State();
  EXPECT_TRUE(state.service_mode.active);
  EXPECT_EQ(state.service_mode.mode, 5);
  EXPECT_TRUE(state.service_mode.option);
  EXPECT_EQ(state.service_mode.parameter, 3);
  Exec(device, Cdb10(0xE1, 0x45, 2), 0, {0x05, 0});
  EXPECT_FALSE(device.State().service_mode.active);

  Exec(device, Cdb10(0xE1, 0x40, 2), 0, {0x80, 1});
  Exec(device, Cdb10(0xE1, 0xA0, 2), 0, {0x00, 0x64});
  state = device.State();
  EXPECT_EQ(state.adjustments, 1);
  EXPECT_EQ(state.adjustment, (std::array<uint8_t, 2>{0x80, 1}));
  EXPECT_EQ(state.imprinter_cleanings, 1);
  EXPECT_EQ(state.imprinter_cleaning_value, 100);
}

TEST(VendorWritesTest, FlashReadsStayInsideTheArea) {
  struct Case {
    const char* product;
    uint32_t address;
    uint32_t length;
    bool inside;
  };
  const Case cases[] = {
      {"DE-T4783Z", 0xC0000, 0x40000, true},  {"DE-T4783Z", 0xBFFFF, 1, false},    {"DE-T4783Z", 0xFFFFF, 1, true},
      {"DE-T4783Z", 0xFFFFF, 2, false},       {"DE-T4783Z", 0x100000, 0, true},    {"DE-T4783Z", 0x100000, 1, false},
      {"DE-T4713Z", 0x1B0000, 0x20000, true}, {"DE-T4713Z", 0xC0000, 16, false},   {"DE-T4713Z", 0x1EFFF0, 16, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.product << std::hex << " at 0x" << c.address << " length 0x" << c.length);
    EmulatedDevice device(DeviceBuilder("d").Product(c.product).Build());
    const Answer answer = Exec(device, Cdb10At(0xE0, 0x96, c.length, uint8_t(c.address >> 16), uint8_t(c.address >> 8),
                                               uint8_t(c.address)), c.length);
    if (c.inside) {
      EXPECT_EQ(answer.result.outcome, Outcome::kGood);
      EXPECT_EQ(answer.data.size(), c.length);
    } else {
      EXPECT_TRUE(IsRefused(answer, 0x24));
    }
  }
  // The factory half of layout 1 carries its version byte.
  EmulatedDevice device(DeviceBuilder("d").Product("DE-T4783Z").Build());
  EXPECT_EQ(Exec(device, Cdb10At(0xE0, 0x96, 1, 0x0C, 0xFF, 0x01), 1).data, Bytes{1});
}

}  // namespace
