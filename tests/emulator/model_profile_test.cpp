// The model a device takes from its product, and the data types and lengths each
// model answers: a command block with a length the model does not use is refused.
#include "emulator/model_profile.h"

#include <gtest/gtest.h>

#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::DeviceBuilder;
using emulator::EmulatedDevice;
using emulator::Outcome;

TEST(ModelProfileTest, ProductPicksTheModel) {
  struct Case {
    const char* product;
    uint8_t model;
  };
  const Case cases[] = {
      {"DE-T9793", 1},         {"DE-T9786Z", 5},      {"DE-T2713Z", 12},  {"DE-T9733A", 16},   {"DE-T8763ZA", 20},
      {"JJN 4977S", 8},        {"JJN 4977", 7},       {"JJN 5177HWI", 27}, {"JJN 5177", 26},   {"DFWQD 5947", 30},
      {"DFWQD 4877S", 10},     {"DE-T5763", 34},      {"DE-T4783Z", 39},  {"DE-T4743Z", 43},   {"DE-TT767", 44},
      {"DE-TX000", 12} /* the family's catch-all */,  {"XY-1", 0},        {"de-t9793", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    EXPECT_EQ(EmulatedDevice(DeviceBuilder("d").Product(c.product).Build()).Profile().model_code, c.model);
  }
  EXPECT_EQ(EmulatedDevice(DeviceBuilder("d").Product("XY-1").Model(13).Build()).Profile().model_code, 13);
}

struct LengthCase {
  const char* product;
  uint8_t opcode;
  uint8_t type;
  uint32_t good;
  uint32_t bad;
};

TEST(ModelProfileTest, EachDataTypeAnswersTheModelsLengthOnly) {
  const LengthCase cases[] = {
      {"DE-T4793Z", 0xE0, 0x9C, 24, 16},  // roller counters with the paper feed roller
      {"DE-T4781Z", 0xE0, 0x9C, 24, 16},
      {"DE-T2713Z", 0xE0, 0x9C, 16, 24},
      {"DE-T2713Z", 0xE0, 0x30, 12, 16},  // position values
      {"DE-T2723Z", 0xE0, 0x30, 16, 12},
      {"DE-T3733Z", 0xE0, 0x30, 16, 8},
      {"DE-T4783Z", 0xE0, 0x30, 12, 8},
      {"DE-T9793", 0xE0, 0x30, 8, 12},
      {"DE-T9793", 0xE0, 0x81, 4, 16},  // board information
      {"DE-T9786Z", 0xE0, 0x81, 16, 4},
      {"DE-T5473Z", 0xE0, 0x81, 16, 4},
      {"DE-T2713Z", 0xE0, 0x83, 24, 28},  // version block
      {"JJN 5947", 0xE0, 0x83, 28, 24},
      {"DFWQD 5147", 0xE0, 0x83, 28, 24},
      {"DE-T2713Z", 0xE0, 0x86, 20, 14},  // system counters
      {"DE-T2723Z", 0xE0, 0x86, 20, 14},
      {"DE-T8713ZP", 0xE0, 0x86, 14, 20},
      {"DE-T2713Z", 0xE0, 0x41, 18, 16},  // test settings
      {"DE-T4783Z", 0xE0, 0x41, 18, 16},
      {"DE-T9793", 0xE0, 0x41, 16, 18},
      {"DE-T4783Z", 0xE0, 0x9E, 2, 4},  // sleep, by the power-off capability
      {"DE-T4713Z", 0xE0, 0x9E, 4, 2},
      {"DE-T4713Z", 0xE1, 0x9F, 4, 2},
      {"DE-T9793", 0xE0, 0x32, 4, 5},  // key sensor: the caller picks 4 or 6
      {"DE-T9793", 0xE0, 0x32, 6, 8},
      {"DE-T2713Z", 0xE0, 0x33, 36, 18},  // sensor levels
      {"DE-T9793", 0xE0, 0x33, 18, 36},
      {"DE-T2723Z", 0xE0, 0xAA, 4, 2},  // individual settings
      {"DE-T2713Z", 0xE0, 0xAA, 2, 4},
      {"DE-T4783Z", 0xE0, 0xAA, 2, 4},
      {"DE-T4783Z", 0xE1, 0x9D, 12, 8},  // caution thresholds
      {"DE-T2713Z", 0xE1, 0x9D, 8, 12},
      {"DE-T2713Z", 0xE0, 0x01, 12, 14},
      {"DE-T2713Z", 0xE0, 0x90, 12, 6},
      {"DE-T2713Z", 0xE0, 0x92, 16, 17},
      {"DE-T2713Z", 0xE0, 0xA3, 130, 128},
      {"DE-T2713Z", 0xE0, 0xA7, 8, 2},
      {"DE-T2713Z", 0xE0, 0x4B, 4, 2},
      {"DE-T2713Z", 0xE0, 0x4C, 8, 6},
      {"DE-T2713Z", 0xE1, 0x45, 2, 4},
      {"DE-T2713Z", 0xE1, 0x91, 4, 2},
      {"DE-T2713Z", 0x28, 0x93, 32, 16},
      {"DE-T2713Z", 0x28, 0x80, 16, 32},
  };
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.product << " " << std::hex << int(c.opcode) << " " << int(c.type) << std::dec
                                    << " length " << c.good);
    EmulatedDevice device(DeviceBuilder("d").Product(c.product).Imprinters(true, false).Build());
    const bool write = c.opcode == 0xE1;
    // Writes carry data the scanner takes: a zero threshold, selector and the like.
    Bytes data(c.good, 0);
    if (c.type == 0x91) data[0] = 0x80;
    const Answer good = Exec(device, Cdb10At(c.opcode, c.type, c.good, 0, c.type == 0xA3 ? 0x80 : 0, 0),
                             write ? 0 : c.good, write ? data : Bytes{});
    EXPECT_EQ(good.result.outcome, Outcome::kGood);
    EXPECT_EQ(good.data.size(), write ? 0 : c.good);
    const Answer bad = Exec(device, Cdb10At(c.opcode, c.type, c.bad, 0, c.type == 0xA3 ? 0x80 : 0, 0),
                            write ? 0 : c.bad, write ? Bytes(c.bad, 0) : Bytes{});
    EXPECT_TRUE(IsRefused(bad, 0x24)) << emulator::Describe(device.Exchanges().back());
    EXPECT_TRUE(bad.data.empty());
  }
}

TEST(ModelProfileTest, DataTypesAModelLacksAreRefused) {
  const LengthCase cases[] = {
      {"DE-T9793", 0xE0, 0x90, 12, 0},   // no caution report before code 12
      {"DE-T5473Z", 0xE0, 0x9C, 16, 0},  // interface-board models count pages only
      {"DE-T5473Z", 0xE1, 0x91, 4, 0},
      {"DE-T5473Z", 0xE0, 0x9E, 2, 0},
      {"DE-T4783Z", 0xE0, 0xA2, 2, 0},  // the compact models have no compatible mode
      {"TW-4377", 0xE0, 0xA2, 2, 0},
      {"DE-T2723Z", 0xE0, 0x8A, 2, 0},  // buzzer only
      {"DE-T4783Z", 0xE0, 0x33, 18, 0},
      {"DE-T9793", 0xE0, 0xA3, 130, 0},
      {"JJN 4977", 0xE0, 0xAA, 2, 0},
      {"DE-T2713Z", 0xE8, 0x04, 8, 0},  // not of the flatbed family
      {"DE-TT767", 0xE0, 0x9C, 16, 0},  // the flatbed unit has no feeder
      {"DE-TT767", 0xE0, 0x86, 14, 0},
      {"DE-T2713Z", 0xE0, 0x55, 4, 0},  // no such data type
      {"DE-T2713Z", 0xE1, 0x01, 2, 0},
      {"DE-T2713Z", 0x28, 0x01, 16, 0},
      {"XY-1", 0xE0, 0x01, 12, 0},  // another maker's product
  };
  for (const LengthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.product << " " << std::hex << int(c.opcode) << " " << int(c.type));
    EmulatedDevice device(DeviceBuilder("d").Product(c.product).Build());
    const bool write = c.opcode == 0xE1;
    EXPECT_TRUE(IsRefused(Exec(device, Cdb10(c.opcode, c.type, c.good), write ? 0 : c.good,
                               write ? Bytes(c.good, 0) : Bytes{}),
                          0x24));
  }
}

TEST(ModelProfileTest, ReservedCdbBytesMustBeClear) {
  EmulatedDevice device(DeviceBuilder("d").Product("DE-T2713Z").Build());
  struct Case {
    const char* what;
    Bytes cdb;
    size_t in;
  };
  Bytes control = Cdb10(0xE0, 0x01, 12);
  control[9] = 0x80;
  Bytes unit = Cdb10(0xE0, 0x01, 12);
  unit[1] = 0x20;
  const Case cases[] = {
      {"byte 4 of a plain read", Cdb10At(0xE0, 0x01, 12, 0, 1, 0), 12},
      {"the qualifier in byte 5", Cdb10At(0xE0, 0xA3, 130, 0, 0, 0x80), 130},
      {"a qualifier no side has", Cdb10At(0xE0, 0xA3, 130, 0, 0x40, 0), 130},
      {"a length with the parameter form", Cdb10At(0xE1, 0xB1, 2, 0, 0, 1), 0},
      {"a mode bit value of 2", Cdb10At(0xE1, 0xB1, 0, 0, 0, 2), 0},
      {"the control byte", control, 12},
      {"the logical unit", unit, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(IsRefused(Exec(device, c.cdb, c.in), 0x24));
  }
  EXPECT_EQ(Exec(device, Cdb10At(0xE1, 0xB1, 0, 0, 0, 1)).result.outcome, Outcome::kGood);
  EXPECT_EQ(device.State().mode_bits, 1u);
}

TEST(ModelProfileTest, BuilderWidensOrNarrowsTheProfile) {
  EmulatedDevice narrowed(DeviceBuilder("d").Product("DE-T4793Z").AcceptLengths(0xE0, 0x9C, {16}).Build());
  EXPECT_EQ(Exec(narrowed, Cdb10(0xE0, 0x9C, 16), 16).result.outcome, Outcome::kGood);
  EXPECT_TRUE(IsRefused(Exec(narrowed, Cdb10(0xE0, 0x9C, 24), 24), 0x24));

  EmulatedDevice any(DeviceBuilder("d").Product("DE-T2713Z").AcceptLengths(0xE0, 0x01, {}).Build());
  EXPECT_EQ(Exec(any, Cdb10(0xE0, 0x01, 40), 40).data.size(), 40u);

  // A compact model told its compatible mode answers it, as its firmware might.
  EmulatedDevice told(DeviceBuilder("d").Product("DE-T4783Z").CompatibleMode(17, 2).Build());
  EXPECT_EQ(Exec(told, Cdb10(0xE0, 0xA2, 2), 2).data, (Bytes{17, 2}));
  EmulatedDevice set_later(DeviceBuilder("d").Product("DE-T4783Z").Build());
  set_later.SetCompatibleMode(16, 16);
  EXPECT_EQ(Exec(set_later, Cdb10(0xE0, 0xA2, 2), 2).data, (Bytes{16, 16}));
}

// Lengths let through by an override still answer whole blocks, cut or
// zero-filled, and never reach past a block or a buffer.
TEST(ModelProfileTest, AnyLengthLetThroughIsAnsweredSafely) {
  for (uint8_t model : {1, 5, 12, 13, 22, 33, 39, 40, 44}) {
    DeviceBuilder builder("d");
    builder.Product("XY-1").Model(model).FlatbedAttached().Imprinters(true, true);
    const emulator::ModelProfile profile = EmulatedDevice(builder.Build()).Profile();
    for (const auto& [key, lengths] : profile.commands) builder.AcceptLengths(uint8_t(key >> 8), uint8_t(key), {});
    EmulatedDevice device(builder.Build());
    for (const auto& [key, lengths] : profile.commands) {
      const uint8_t opcode = uint8_t(key >> 8), type = uint8_t(key);
      if (opcode == 0x28 && type == 0x00) continue;  // image data has its own test
      const bool write = opcode == 0xE1 || opcode == 0xE9;
      for (uint32_t length : {0u, 1u, 3u, 7u, 40u}) {
        SCOPED_TRACE(testing::Message() << int(model) << std::hex << " " << int(opcode) << " " << int(type) << std::dec
                                        << " length " << length);
        const uint32_t address = type == 0x96 || type == 0xA9 ? profile.flash_base : 0;
        Bytes cdb = Cdb10At(opcode, type, length, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address));
        if (type == 0xA3) cdb[4] = 0x80;
        if (type == 0xB1) cdb = Cdb10(opcode, type, length);
        const Answer answer = Exec(device, cdb, write ? 0 : length, write ? Bytes(length, 0x80) : Bytes{});
        if (!write && answer.result.outcome == Outcome::kGood) {
          EXPECT_EQ(answer.data.size(), length);
        }
      }
    }
  }
}

}  // namespace
