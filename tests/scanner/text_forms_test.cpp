#include "scanner/text_forms.h"

#include <gtest/gtest.h>

#include <cstring>

#include "resources/app_resources.h"

namespace scanner {
namespace {

ScannerContext Connected(uint8_t model_code) {
  ScannerContext c;
  c.connected = true;
  c.model_code = model_code;
  return c;
}

TEST(TextFormsTest, NothingShowsWhileNotConnected) {
  ScannerContext c = Connected(39);
  c.connected = false;
  std::strcpy(c.model_name, "DE-T4783Z");
  EXPECT_EQ(ModelNameText(c), "");
  EXPECT_EQ(MemoryText(c), "");
  EXPECT_EQ(BuzzerText(c), "");
  EXPECT_EQ(TerminatorText(c, OnOff::kStrings), "");
  EXPECT_EQ(SleepText(c, true, 15), "");
}

TEST(TextFormsTest, VersionsCarryTheirRevisionWhenAsked) {
  ScannerContext c = Connected(12);
  std::strcpy(c.firmware_version, "2.05");
  c.firmware_revision = 'B';
  std::strcpy(c.second_version, "1.10");
  EXPECT_EQ(FirmwareVersionText(c, true), "2.05.B");
  EXPECT_EQ(FirmwareVersionText(c, false), "2.05");
  EXPECT_EQ(SecondVersionText(c, true), "1.10");
}

TEST(TextFormsTest, NumbersAndGateArrays) {
  ScannerContext c = Connected(17);
  c.memory_mb = 512;
  c.gate_array[0] = 3;
  c.gate_array_second[0] = 4;
  c.gate_array[2] = 9;
  EXPECT_EQ(MemoryText(c), "512 MB");
  EXPECT_EQ(GateArrayText(c, 0), "3-4");
  EXPECT_EQ(GateArrayText(c, 2), "9");
  c.model_code = 12;
  EXPECT_EQ(GateArrayText(c, 0), "3");
}

TEST(TextFormsTest, InterfacePaperBuzzerAndSwitches) {
  ScannerContext c = Connected(12);
  const char* interfaces[] = {"", "ASPI SCSI", "STI SCSI", "STI USB (2.0)", "STI USB (1.1)", ""};
  for (uint8_t kind = 0; kind < 6; ++kind) {
    c.interface_kind = kind;
    EXPECT_EQ(InterfaceText(c), interfaces[kind]);
  }
  const char* papers[] = {"Letter", "A4", "A4", ""};
  for (uint8_t mode = 0; mode < 4; ++mode) {
    c.paper_mode = mode;
    EXPECT_EQ(PaperModeText(c), papers[mode]);
  }
  EXPECT_EQ(BuzzerText(c), "OFF");
  c.buzzer = 7;
  EXPECT_EQ(BuzzerText(c), "ON");
  c.pre_imprinter = true;
  EXPECT_EQ(PreImprinterText(c, OnOff::kPlain), "Enable");
  EXPECT_EQ(PostImprinterText(c, OnOff::kStrings), resources::LoadString(2042));
  EXPECT_EQ(SleepText(c, true, 20), "20 min");
  EXPECT_EQ(SleepText(c, false, 20), "Disable");
}

TEST(TextFormsTest, CompatibleModeNamesThePresentedModelFirst) {
  ScannerContext c = Connected(14);
  c.compatible_code = 17;
  c.compatible_second = 3;
  EXPECT_EQ(CompatibleModeText(c), "DE-T9733A");
  c.compatible_second = 22;  // no such entry: the first byte names it
  EXPECT_EQ(CompatibleModeText(c), "DE-T5713ZP");
  c.compatible_code = 0;
  EXPECT_EQ(CompatibleModeText(c), "");
  c.compatible_second = 19;
  EXPECT_EQ(CompatibleModeText(c), "DE-T5763");
}

TEST(TextFormsTest, ColorModelsOfCodeThirtyFourCarryTheSuffix) {
  ScannerContext c = Connected(34);
  std::strcpy(c.model_name, "DE-T5763");
  EXPECT_EQ(ModelNameText(c), "DE-T5763" + resources::LoadString(3198));
  c.color_option = false;
  EXPECT_EQ(ModelNameText(c), "DE-T5763");
}

}  // namespace
}  // namespace scanner
