// The flatbed unit: reached through a scanner of the flatbed family when one is
// attached, or on the bus as a device of its own.
#include <gtest/gtest.h>

#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::DeviceBuilder;
using emulator::EmulatedDevice;
using emulator::Outcome;
using emulator::ScannerState;

constexpr uint8_t kFlatbedBit = 0x20;

void WithFlatbedStatus(ScannerState& s) {
  s.flatbed.status = {0, {0xB1, 0, 0, 0}, 0xB1000000};
  s.flatbed.sleep_minutes = 12;
}

TEST(FlatbedTest, AttachedUnitAnswersThroughItsScanner) {
  for (const char* product : {"DE-T8713ZP", "DE-T9791", "DE-T4793Z", "DE-TT767"}) {
    SCOPED_TRACE(product);
    EmulatedDevice device(DeviceBuilder("d").Product(product).FlatbedAttached().Edit(WithFlatbedStatus).Build());
    EXPECT_EQ(Exec(device, Cdb10(0xE8, 0x00, 12), 12).data, (Bytes{0, 0, 0, 0, 0xB1, 0, 0, 0, 0xB1, 0, 0, 0}));
    EXPECT_EQ(Exec(device, Cdb10(0xE8, 0x01, 2), 2).data, (Bytes{0, 12}));
    EXPECT_EQ(Exec(device, Cdb10(0xE8, 0x04, 8), 8).data, (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Exec(device, Cdb10(0xE9, 0x02, 2), 0, {0, 30}).result.outcome, Outcome::kGood);
    EXPECT_EQ(Exec(device, Cdb10(0xE8, 0x01, 2), 2).data, (Bytes{0, 30}));
    EXPECT_TRUE(IsRefused(Exec(device, Cdb10(0xE8, 0x04, 4), 4), 0x24));
    EXPECT_TRUE(IsRefused(Exec(device, Cdb10At(0xE8, 0x01, 2, 1, 0, 0), 2), 0x24)) << "byte 3 is 0";
  }
  EmulatedDevice scanner(DeviceBuilder("d").Product("DE-T8713ZP").FlatbedAttached().Build());
  EXPECT_EQ(Exec(scanner, Cdb10(0x28, 0x93, 32), 32).data[0] & kFlatbedBit, kFlatbedBit);
}

TEST(FlatbedTest, WithoutAUnitTheFlatbedCommandsFail) {
  EmulatedDevice alone(DeviceBuilder("d").Product("DE-T8713ZP").Build());
  for (const Bytes& cdb : {Cdb10(0xE8, 0x00, 12), Cdb10(0xE8, 0x01, 2), Cdb10(0xE8, 0x04, 8)})
    EXPECT_TRUE(IsRefused(Exec(alone, cdb, cdb[8]), 0x2C, 0x88));
  EXPECT_TRUE(IsRefused(Exec(alone, Cdb10(0xE9, 0x02, 2), 0, {0, 30}), 0x2C, 0x88));
  EXPECT_EQ(Exec(alone, Cdb10(0x28, 0x93, 32), 32).data[0] & kFlatbedBit, 0);

  // A model outside the flatbed family has no flatbed commands, attached or not.
  EmulatedDevice other(DeviceBuilder("d").Product("DE-T2713Z").FlatbedAttached().Build());
  EXPECT_TRUE(IsRefused(Exec(other, Cdb10(0xE8, 0x04, 8), 8), 0x24));
  EXPECT_EQ(Exec(other, Cdb10(0x28, 0x93, 32), 32).data[0] & kFlatbedBit, 0);
}

TEST(FlatbedTest, UnitOnItsOwnIsADeviceOfItsOwn) {
  emulator::BusBuilder builder;
  builder.Device("scanner").Product("DE-T4793Z").OnStiUsb().FlatbedAttached();
  builder.Device("flatbed").Product("DE-TT767").OnStiUsb();
  auto bus = builder.Build();
  auto flatbed = bus->Find("flatbed");
  EXPECT_EQ(flatbed->Profile().model_code, 44);
  EXPECT_EQ(Exec(*flatbed, Cdb10(0xE8, 0x04, 8), 8).data[0], 1);
  const Bytes versions = Exec(*flatbed, Cdb10(0xE0, 0x83, 24), 24).data;
  EXPECT_EQ(std::string(versions.begin() + 4, versions.begin() + 8), "1.02");
  EXPECT_EQ(Exec(*flatbed, Cdb10(0xE0, 0x81, 4), 4).data.size(), 4u);
  EXPECT_TRUE(IsRefused(Exec(*flatbed, Cdb10(0xE0, 0x9E, 2), 2), 0x24));

  // The two are separate devices: the scanner's unit is not this one.
  Exec(*flatbed, Cdb10(0xE9, 0x02, 2), 0, {0, 50});
  EXPECT_EQ(Exec(*bus->Find("scanner"), Cdb10(0xE8, 0x01, 2), 2).data, (Bytes{0, 15}));
}

}  // namespace
