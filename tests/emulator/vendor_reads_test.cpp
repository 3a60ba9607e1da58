// Each vendor read and the configuration block carry the scanner's state in the
// layout of the model, byte by byte.
#include <functional>

#include <gtest/gtest.h>

#include "emulator/default_state.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::DeviceBuilder;
using emulator::EmulatedDevice;
using emulator::ScannerState;

struct ReadCase {
  const char* what;
  const char* product;
  std::function<void(DeviceBuilder&)> setup;
  Bytes cdb;
  Bytes expected;
};

void Nothing(DeviceBuilder&) {}

// The defaults the position cases lean on, P1-P11 and X1-X4.
void Positions(DeviceBuilder& d) {
  d.Edit([](ScannerState& s) {
    s.positions.p = {12, -5, 8, -3, 15, 4, 6, 20, -2, 3, 10};
    s.positions.x = {0x80, 0x78, 0x84, 0xFF};
  });
}

// A roller byte is the share of its threshold the count has reached, 100 from the
// threshold on; each byte follows its own roller.
TEST(VendorReadsTest, RollerCautionBytesComeFromCountsAndThresholds) {
  struct Case {
    uint32_t count;
    uint32_t threshold;
    uint8_t byte;
  } cases[] = {
      {0, 1000, 0},      {9, 1000, 0},         {999, 1000, 99},  {1000, 1000, 100},
      {5000, 1000, 100}, {150000, 200000, 75}, {1, 0, 100},  // no threshold: reached, as the utility compares
      {0xFFFFFFFE, 0xFFFFFFFF, 99},           {0xFFFFFFFF, 0xFFFFFFFF, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " of " << c.threshold);
    DeviceBuilder clean("d"), replace("d");
    clean.Product("DE-T2713Z").RollerCounts(c.count, 150000).Thresholds(c.threshold, 200000);
    replace.Product("DE-T2713Z").RollerCounts(150000, c.count).Thresholds(200000, c.threshold);
    EmulatedDevice clean_device(clean.Build()), replace_device(replace.Build());
    EXPECT_EQ(Exec(clean_device, Cdb10(0xE0, 0x90, 12), 12).data, (Bytes{c.byte, 75, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Exec(replace_device, Cdb10(0xE0, 0x90, 12), 12).data, (Bytes{75, c.byte, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  }
}

TEST(VendorReadsTest, BlocksCarryTheStateInTheModelsLayout) {
  const ReadCase cases[] = {
      {"status block", "DE-T2713Z", [](DeviceBuilder& d) { d.Status(0x11223344, {1, 2, 3, 4}, 3); },
       Cdb10(0xE0, 0x01, 12), {3, 0, 0, 0, 1, 2, 3, 4, 0x11, 0x22, 0x33, 0x44}},
      {"caution report", "DE-T2713Z", [](DeviceBuilder& d) { d.Caution({100, 0, 0xFF, 0, 0, 0xFF}); },
       Cdb10(0xE0, 0x90, 12), {100, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}},
      {"system counters, short form", "DE-T9793", [](DeviceBuilder& d) { d.SystemCounts(0x01020304, 9); },
       Cdb10(0xE0, 0x86, 14), {1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"roller counters with the paper feed roller", "DE-T4793Z",
       [](DeviceBuilder& d) { d.RollerCounts(1, 2, 3).Thresholds(0x0400, 0x050000, 6); }, Cdb10(0xE0, 0x9C, 24),
       {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 4, 0, 0, 5, 0, 0, 0, 0, 0, 3, 0, 0, 0, 6}},
      {"roller counters", "DE-T9793", [](DeviceBuilder& d) { d.RollerCounts(1, 2, 3).Thresholds(4, 5, 6); },
       Cdb10(0xE0, 0x9C, 16), {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 5}},
      {"sleep, short form", "DE-T4783Z", [](DeviceBuilder& d) { d.Sleep(20, 45); }, Cdb10(0xE0, 0x9E, 2), {0, 20}},
      {"sleep with power-off", "DE-T4713Z", [](DeviceBuilder& d) { d.Sleep(0, 45); }, Cdb10(0xE0, 0x9E, 4),
       {0, 0, 0, 45}},
      {"sleep once the capability is on", "DE-T4783Z", [](DeviceBuilder& d) { d.PowerOffCapability().Sleep(5, 6); },
       Cdb10(0xE0, 0x9E, 4), {0, 5, 0, 6}},
      {"versions with the interface board's", "DE-T5473Z", Nothing, Cdb10(0xE0, 0x83, 24),
       {'0', '.', '9', '0', '1', '.', '0', '5', 0, 0, 0, 0, '2', '.', '1', '0', 0, 0, 0, 0, 0, 0, 0, 0}},
      {"versions, wide body: no third", "DE-T2723Z",
       [](DeviceBuilder& d) {
         d.Edit([](ScannerState& s) { s.versions = {"2.01", "", "9.99", "4TH", "5.00"}; });
       },
       Cdb10(0xE0, 0x83, 28),
       {0, 0, 0, 0, '2', '.', '0', '1', 0, 0, 0, 0, 0, 0, 0, 0, '5', '.', '0', '0', '4', 'T', 'H', ' ', 0, 0, 0, 0}},
      {"board, short form", "DE-T9793", Nothing, Cdb10(0xE0, 0x81, 4), {1, 3, 5, 'A'}},
      {"board, production family", "DE-T2713Z", Nothing, Cdb10(0xE0, 0x81, 16),
       {1, 0, 3, 2, 4, 0, 0, 0, 5, 6, 7, 0, 'A', 'B', 0, 0}},
      {"board, wide body with extra boards", "DE-T3733Z", Nothing, Cdb10(0xE0, 0x81, 16),
       {0, 0, 3, 0, 4, 1, 1, 7, 5, 2, 6, 1, 'A', 'B', 0, 0}},
      {"board, wide body with interface board", "JJN 5947", Nothing, Cdb10(0xE0, 0x81, 16),
       {0, 0, 3, 2, 4, 0, 0, 7, 5, 2, 6, 1, 'A', 'B', 0, 0}},
      {"board, interface board family", "DE-T5763", Nothing, Cdb10(0xE0, 0x81, 16),
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'A', 'B', 'C', 0}},
      {"board, compact", "DE-T4783Z", Nothing, Cdb10(0xE0, 0x81, 16),
       {0, 0, 3, 0, 0, 0, 0, 0, 5, 0, 0, 0, 'A', 'B', 0, 0}},
      {"positions, production family", "DE-T2713Z", Positions, Cdb10(0xE0, 0x30, 12),
       {12, 0xFB, 8, 0xFD, 15, 10, 0xFE, 3, 0, 0, 0x80, 0xFF}},
      {"positions, two lamps", "DE-T3733Z", Positions, Cdb10(0xE0, 0x30, 16),
       {12, 0xFB, 8, 0xFD, 15, 0, 0, 0, 4, 6, 0x80, 0, 20, 0, 0, 0}},
      {"positions, wide body", "DE-T8713ZP", Positions, Cdb10(0xE0, 0x30, 16),
       {12, 0xFB, 8, 0xFD, 15, 0, 0, 0, 0, 0, 0x80, 0, 0x78, 0, 0x84, 0}},
      {"positions, wide body with flatbed", "DE-T2723Z", Positions, Cdb10(0xE0, 0x30, 16),
       {12, 0xFB, 8, 0xFD, 15, 10, 0xFE, 3, 0, 0, 0x80, 0xFF, 0x78, 0, 0x84, 0}},
      {"positions, compact", "DE-T4793Z", Positions, Cdb10(0xE0, 0x30, 12), {12, 0xFB, 8, 0xFD, 15, 4, 6, 20, 0, 0, 0, 0}},
      {"positions, compact with sensor", "DE-T4783Z", Positions, Cdb10(0xE0, 0x30, 12),
       {12, 0xFB, 8, 0xFD, 15, 4, 6, 20, 0x80, 0, 0, 0}},
      {"positions, early with sensor", "DE-T9786Z", Positions, Cdb10(0xE0, 0x30, 8), {12, 0xFB, 8, 0xFD, 15, 0x80, 0, 0}},
      {"positions, early", "DE-T9793", Positions, Cdb10(0xE0, 0x30, 8), {12, 0xFB, 8, 0xFD, 15, 0, 0, 0}},
      {"test settings, long form", "DE-T2713Z", Nothing, Cdb10(0xE0, 0x41, 18),
       {0, 0, 0, 200, 1, 0, 4, 1, 1, 0, 1, 0, 0, 10, 0, 100, 17, 0}},
      {"test settings, short form", "DE-T9793", Nothing, Cdb10(0xE0, 0x41, 16),
       {0, 0, 0, 200, 1, 0, 4, 1, 1, 0, 1, 0, 0, 10, 0, 100}},
      {"sensor levels, six words", "DE-T9793", Nothing, Cdb10(0xE0, 0x33, 18),
       {2, 0, 1, 44, 1, 0xF2, 1, 54, 1, 0xF9, 1, 39, 0, 0, 0, 0, 0, 0}},
      {"sensor levels, offsets and slices", "DE-T2713Z", Nothing, Cdb10(0xE0, 0x33, 36),
       {40, 120, 38, 118, 42, 122, 41, 119, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        39, 121, 40, 120, 37, 117, 43, 123, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"key and sensor state", "DE-T9786Z",
       [](DeviceBuilder& d) { d.Edit([](ScannerState& s) { s.sensors.key_state = {0xE0, 1, 2, 3, 4, 5}; }); },
       Cdb10(0xE0, 0x32, 4), {0xE0, 1, 2, 3}},
      {"bent paper levels, value 6 first", "DE-T8713ZP", Nothing, Cdb10(0xE0, 0x4C, 8), {155, 154, 153, 152, 151, 150, 0, 0}},
      {"roller pressure", "DE-T8713ZP", Nothing, Cdb10(0xE0, 0x4B, 4), {0, 3, 0, 0}},
      {"feed speed in percent", "DE-T2723Z", Nothing, Cdb10(0xE0, 0xA7, 8), {0, 100, 0, 0, 0, 0, 0, 0}},
      {"identity text", "DE-T2713Z", [](DeviceBuilder& d) { d.IdentityText("SN-42"); }, Cdb10(0xE0, 0x92, 16),
       {'S', 'N', '-', '4', '2', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}},
      {"individual settings, long form", "DE-T8713ZP", Nothing, Cdb10(0xE0, 0xAA, 4), {0, 0x28, 0x20, 0}},
      {"paper mode", "DE-T2713Z", [](DeviceBuilder& d) { d.PaperMode(0); }, Cdb10(0xE0, 0x8A, 2), {0, 0}},
      {"buzzer", "DE-T2713Z", Nothing, Cdb10(0xE0, 0xA1, 2), {1, 0}},
      {"compatible mode of its own type", "DE-T5713ZA", Nothing, Cdb10(0xE0, 0xA2, 2), {18, 18}},
      {"shading source", "DE-T2713Z", Nothing, Cdb10(0xE0, 0xA4, 2), {0, 0}},
      {"configuration block", "DE-T8713ZP",
       [](DeviceBuilder& d) {
         d.Imprinters(true, true).FlatbedAttached().OneSided().Memory(0x0400, 0x0100).Edit([](ScannerState& s) {
           s.config.front_plate = true;
           s.config.no_color_option = true;
           s.config.counter_setting = true;
         });
       },
       Cdb10(0x28, 0x93, 32),
       {0xBB, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0}},
      {"configuration block with power-off", "DE-T4713Z", Nothing, Cdb10(0x28, 0x93, 32),
       {0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    DeviceBuilder builder("d");
    builder.Product(c.product);
    c.setup(builder);
    EmulatedDevice device(builder.Build());
    const Answer answer = Exec(device, c.cdb, c.expected.size());
    EXPECT_EQ(answer.result.outcome, emulator::Outcome::kGood);
    EXPECT_EQ(answer.data, c.expected);
  }
}

TEST(VendorReadsTest, MemoryModuleDataPerSide) {
  EmulatedDevice two_memories(DeviceBuilder("d").Product("DE-T2723Z").Build());
  const Bytes front = Exec(two_memories, Cdb10At(0xE0, 0xA3, 130, 0, 0x80, 0), 130).data;
  const Bytes back = Exec(two_memories, Cdb10At(0xE0, 0xA3, 130, 0, 0x00, 0), 130).data;
  ASSERT_EQ(front.size(), 130u);
  EXPECT_EQ(Bytes(front.begin(), front.begin() + 2), (Bytes{0, 128}));
  const auto spd = emulator::SpdForModule(256);
  EXPECT_EQ(Bytes(front.begin() + 2, front.end()), Bytes(spd.begin(), spd.end()));
  EXPECT_EQ(Bytes(back.begin() + 2, back.end()), Bytes(spd.begin(), spd.end())) << "256 MB each side";
  EXPECT_EQ(spd[31], 0x40);
  uint8_t sum = 0;
  for (int i = 0; i < 63; ++i) sum = uint8_t(sum + spd[i]);
  EXPECT_EQ(spd[63], sum);

  // One module: both qualifiers name it.
  EmulatedDevice one_memory(DeviceBuilder("d").Product("DE-T2713Z").Build());
  EXPECT_EQ(Exec(one_memory, Cdb10At(0xE0, 0xA3, 130, 0, 0, 0), 130).data,
            Exec(one_memory, Cdb10At(0xE0, 0xA3, 130, 0, 0x80, 0), 130).data);
  EXPECT_EQ(emulator::SpdForModule(0), (std::array<uint8_t, 128>{}));
}

TEST(VendorReadsTest, EveryModelAnswersEveryDataTypeOfItsProfile) {
  for (uint8_t model = 1; model <= 44; ++model) {
    SCOPED_TRACE(int(model));
    EmulatedDevice device(DeviceBuilder("d").Product("XY-1").Model(model).FlatbedAttached().Imprinters(true, true).Build());
    const emulator::ModelProfile profile = device.Profile();
    for (const auto& [key, lengths] : profile.commands) {
      const uint8_t opcode = uint8_t(key >> 8), type = uint8_t(key);
      if (opcode != 0xE0 && opcode != 0xE8 && !(opcode == 0x28 && type != 0x00)) continue;
      const uint32_t length = lengths.any ? 16 : lengths.by_power_off ? (device.State().config.power_off ? 4 : 2)
                                                                      : lengths.fixed.front();
      const uint32_t address = type == 0x96 ? profile.flash_base : 0;
      Bytes cdb = Cdb10At(opcode, type, length, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address));
      if (type == 0xA3) cdb[4] = 0x80;
      const Answer answer = Exec(device, cdb, length);
      EXPECT_EQ(answer.result.outcome, emulator::Outcome::kGood) << std::hex << int(opcode) << " " << int(type);
      EXPECT_EQ(answer.data.size(), length);
    }
  }
}

}  // namespace
