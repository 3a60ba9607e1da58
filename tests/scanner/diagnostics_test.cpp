// The feed test's settings, position values, sensors, the shading adjustment and
// the reference plates, against emulated scanners.
#include <gtest/gtest.h>

#include <functional>

#include "device/device_library.h"
#include "scanner/diagnostic_commands.h"
#include "resources/app_resources.h"
#include "scanner/test_settings.h"
#include "tests/scanner/scanner_fixture.h"
#include "tests/scanner/test_queue.h"

namespace scanner::testing {
namespace {

using Bytes = std::vector<uint8_t>;

class DiagnosticsTest : public ScannerTest {
 protected:
  void Connect(const char* product, const std::function<void(emulator::ScannerState&)>& edit = {}) {
    ScannerTest::Connect(product, [&](emulator::DeviceBuilder& d) {
      if (edit) d.Edit(edit);
    });
  }
  std::vector<Bytes> Sent() const {
    std::vector<Bytes> cdbs;
    for (const auto& e : Exchanges()) cdbs.push_back(e.Cdb());
    return cdbs;
  }
};

TEST_F(DiagnosticsTest, TestSettingsInTheModelsForm) {
  Connect("DE-T5713ZP", [](emulator::ScannerState& s) {
    s.test_settings.paper_size = 3;
    s.test_settings.double_feed = 0x05;  // detection 1, stapled 1
    s.test_settings.reduction = 20;
  });
  TestSettingsBlock block;
  ASSERT_EQ(ReadTestSettings(0, 2, context_.model_code, block, false), 1);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{{0xE0, 0, 0x41, 0, 0, 0, 0, 0, 18, 0}}));
  const TestSettings s = DecodeTestSettings(block, 14);
  EXPECT_EQ(s.paper_size, 2);
  EXPECT_EQ(PaperSizeText(s, 14), "A4");
  EXPECT_EQ(DoubleFeedText(s, 14), "ON:Buzzer");
  EXPECT_EQ(StapledText(s), "ON:Standerd");
  EXPECT_EQ(ReductionText(s), "1/4");
  TearDown();
  SetUp();
  Connect("DE-T9786Z", [](emulator::ScannerState& s) { s.test_settings.resolution = 400; });
  ASSERT_EQ(ReadTestSettings(0, 2, context_.model_code, block, false), 1);
  EXPECT_EQ(block.length, 16u);
  EXPECT_EQ(ResolutionText(DecodeTestSettings(block, 5)), "400");
}

TEST_F(DiagnosticsTest, PositionValuesArePlacedByModel) {
  const auto positions = [](emulator::ScannerState& s) {
    for (int i = 0; i < 11; ++i) s.positions.p[i] = static_cast<int8_t>(10 * (i + 1));
    s.positions.p[0] = -15;
    s.positions.x = {1, 2, 3, 4};
  };
  struct Case {
    const char* product;
    uint32_t length;
    std::vector<int> p;  // P numbers reported
    std::vector<int> x;  // X numbers reported
  } const cases[] = {
      {"DE-T2713Z", 12, {1, 2, 3, 4, 5, 9, 10, 11}, {1, 4}},
      {"DE-T2723Z", 16, {1, 2, 3, 4, 5, 9, 10, 11}, {1, 2, 3, 4}},
      {"DE-T8713ZP", 16, {1, 2, 3, 4, 5}, {1, 2, 3}},
      {"DE-T3733Z", 16, {1, 2, 3, 4, 5, 6, 7, 8}, {1}},
      {"DE-T4793Z", 12, {1, 2, 3, 4, 5, 6, 7, 8}, {}},
      {"DE-T4783Z", 12, {1, 2, 3, 4, 5, 6, 7, 8}, {1}},
      {"DE-T9786Z", 8, {1, 2, 3, 4, 5}, {1}},
      {"DE-T9793", 8, {1, 2, 3, 4, 5}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    Connect(c.product, positions);
    PositionValues values;
    ASSERT_EQ(ReadPositionValues(0, 2, context_.model_code, values), 1);
    EXPECT_EQ(Sent().back(), (Bytes{0xE0, 0, 0x30, 0, 0, 0, 0, 0, uint8_t(c.length), 0}));
    for (int n = 1; n <= 11; ++n) {
      const bool reported = std::find(c.p.begin(), c.p.end(), n) != c.p.end();
      ASSERT_EQ(values.p[n - 1].has_value(), reported) << "P" << n;
      if (reported) {
        EXPECT_DOUBLE_EQ(*values.p[n - 1], n == 1 ? -1.5 : n);
      }
    }
    for (int n = 1; n <= 4; ++n) {
      const bool reported = std::find(c.x.begin(), c.x.end(), n) != c.x.end();
      ASSERT_EQ(values.x[n - 1].has_value(), reported) << "X" << n;
      if (reported) {
        EXPECT_DOUBLE_EQ(*values.x[n - 1], n / 10.0);
      }
    }
    EXPECT_TRUE(prompter_.boxes().empty());
    TearDown();
    SetUp();
  }
}

TEST_F(DiagnosticsTest, SensorsAndThePreparingServiceMode) {
  Connect("DE-T9786Z", [](emulator::ScannerState& s) {
    s.sensors.key_state = {0xE0, 1, 2, 3, 4, 5};
    s.sensors.levels = {100, 200, 300, 400, 500, 600};
    s.sensors.word_4b = 0x1234;
    s.sensors.bent_paper = {1, 2, 3, 4, 5, 6};
  });
  std::array<uint8_t, 5> key{};
  ASSERT_EQ(ReadKeySensorState(0, 2, 4, key, false), 1);
  const Bytes prepare = {0xE1, 0, 0x45, 0, 0, 0, 0, 0, 2, 0};
  EXPECT_EQ(Sent(), (std::vector<Bytes>{prepare, {0xE0, 0, 0x32, 0, 0, 0, 0, 0, 4, 0}}));
  EXPECT_EQ(Exchanges()[0].data_out, (Bytes{0x85, 0}));
  EXPECT_EQ(key, (std::array<uint8_t, 5>{0xE0, 1, 2, 3, 0}));

  scanner_->ClearLog();
  SensorLevels levels;
  ASSERT_EQ(ReadSensorLevels(0, 2, 18, levels), 1);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{prepare, {0xE0, 0, 0x33, 0, 0, 0, 0, 0, 18, 0}}));
  EXPECT_EQ(levels.words, (std::array<uint16_t, 6>{100, 200, 300, 400, 500, 600}));

  uint16_t word = 0;
  ASSERT_EQ(ReadWord4B(0, 2, word), 1);
  EXPECT_EQ(word, 0x1234);
  std::array<uint8_t, 6> bent{};
  ASSERT_EQ(ReadBentPaperLevels(0, 2, bent), 1);
  EXPECT_EQ(bent, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(DiagnosticsTest, TheLongSensorFormIsNotPrepared) {
  Connect("DE-T2713Z", [](emulator::ScannerState& s) {
    for (int i = 0; i < 16; ++i) s.sensors.offsets_slices[i] = static_cast<uint8_t>(i + 1);
  });
  SensorLevels levels;
  ASSERT_EQ(ReadSensorLevels(0, 2, 36, levels), 1);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{{0xE0, 0, 0x33, 0, 0, 0, 0, 0, 36, 0}}));
  EXPECT_EQ(levels.bytes[0], 1);
  EXPECT_EQ(levels.bytes[8], 9);
  EXPECT_EQ(levels.bytes[15], 16);
}

// Notes at every box whether the scanner was still locked.
class LockWatchingPrompter : public platform::testing::ScriptedPrompter {
 public:
  explicit LockWatchingPrompter(std::shared_ptr<emulator::EmulatedDevice> device) : device_(std::move(device)) {}
  int Show(const platform::MessageBoxRequest& request) override {
    locked_at_box.push_back(device_->Locks().locked);
    return ScriptedPrompter::Show(request);
  }
  std::vector<bool> locked_at_box;

 private:
  std::shared_ptr<emulator::EmulatedDevice> device_;
};

TEST_F(DiagnosticsTest, AdjustmentAndReferencePlates) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().LockMode(2).Edit(
      [](emulator::ScannerState& s) { s.config.back_plate = true; });
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  scanner_->ClearLog();
  ASSERT_EQ(StartAdjustment(0, 2, 3), 1);
  EXPECT_EQ(Cdbs(), (std::vector<Bytes>{{0, 0, 0, 0, 0, 0}, {0xE1, 0, 0x40, 0, 0, 0, 0, 0, 2, 0}}));
  EXPECT_EQ(Exchanges().back().data_out, (Bytes{0x80, 0x01}));
  EXPECT_EQ(scanner_->State().adjustments, 1);

  bool front = true, back = false;
  scanner_->ClearLog();
  ASSERT_EQ(ReadReferencePlateState(0, 2, front, back), 1);
  EXPECT_FALSE(front);
  EXPECT_TRUE(back);
  EXPECT_EQ(Cdbs(), (std::vector<Bytes>{{0x28, 0, 0x93, 0, 0, 0, 0, 0, 0x20, 0}}));  // no TEST UNIT READY

  // A refused adjustment releases the lock before its message.
  ASSERT_EQ(device::LockScanner(1, 0), 0);
  ASSERT_TRUE(scanner_->Locks().locked);
  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Command(0xE1, 0x40), {2, 0x04, 0x01}));
  LockWatchingPrompter watch(scanner_);
  EXPECT_EQ(StartAdjustment(0, 2, 0), 0);
  ASSERT_EQ(watch.boxes().size(), 1u);
  EXPECT_EQ(watch.boxes()[0].text, resources::LoadString(5015));
  EXPECT_EQ(watch.locked_at_box, std::vector<bool>{false});
}

TEST_F(DiagnosticsTest, TheSimulatedAdjustmentWaitKeepsTheWindowAlive) {
  device::SetSimulatedScanner(true);
  TestQueue queue;
  const uint64_t start = platform::GetClock().Now();
  queue.Post(0x0200);
  queue.PostAt(start + 5000, 0x0113);  // a timer tick halfway through the wait
  queue.Post(0x00A4);                   // dropped
  ASSERT_EQ(StartAdjustment(0, 0, 0), 1);
  EXPECT_EQ(platform::GetClock().Now() - start, 10000u);
  EXPECT_EQ(queue.dispatched, (std::vector<platform::UINT>{0x0200, 0x0113}));
  ASSERT_EQ(queue.dispatched_at.size(), 2u);
  EXPECT_EQ(queue.dispatched_at[0], start);
  EXPECT_GE(queue.dispatched_at[1], start + 5000);
  EXPECT_LE(queue.dispatched_at[1], start + 5020);
  EXPECT_TRUE(queue.Pending().empty());
}

}  // namespace
}  // namespace scanner::testing
