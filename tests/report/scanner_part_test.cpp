// The scanner part, byte for byte, for one scanner of each model family.
#include <functional>
#include <string_view>
#include <vector>

#include "scanner/model_codes.h"
#include "scanner/model_table.h"

#include "tests/report/report_fixture.h"

namespace report::testing {
namespace {

using emulator::DeviceBuilder;
using emulator::ScannerState;

struct GoldenCase {
  const char* name;
  const char* product;
  std::function<void(DeviceBuilder&)> setup;
  // The main window's filters drop the interface-board family: those scanners are
  // identified by themselves and given their sections directly.
  bool listed = true;
};

// Every optional line of the family shows: imprinters, flatbed, power-off timer,
// optional functions, user shading data, a status with an error code.
const GoldenCase kGoldenCases[] = {
    {"model05", "DE-T9786Z",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 2).Imprinters(true, false).FlatbedAttached().Status(0x11000000, {0x01, 0x20, 0xAB, 0x00});
       d.Edit([](ScannerState& s) {
         s.sensors.key_state[0] = 0x60;  // waiting and starting position sensors on, ending off
         s.shading_source = 1;
         s.flatbed.sleep_minutes = 20;
       });
     }},
    {"model12", "DE-T2713Z",
     [](DeviceBuilder& d) {
       d.OnAspi(1, 5).Imprinters(true, false).SystemCounts(5123, 77).RollerCounts(900, 40000);
       d.Thresholds(5000, 200000).CompatibleMode(16, 16);
       d.Edit([](ScannerState& s) {
         s.positions.x[3] = 0xFF;  // frequency 210
         s.test_settings.image_type = 136;
         s.test_settings.reduction = 19;
       });
     }},
    {"model13", "DE-T2723Z",
     [](DeviceBuilder& d) {
       d.OnStiUsb(2).Memory(0x0400, 0x0100).PowerOffCapability().Sleep(25, 60);
       d.Edit([](ScannerState& s) {
         s.individual_settings[0] = 0x58;  // double-feed image, MTF and double width on
         s.positions.x[3] = 0x01;
         s.test_settings.image_type = 24;
       });
     }},
    {"model14", "DE-T5713ZP",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 3).Imprinters(true, true).FlatbedAttached();
       d.Edit([](ScannerState& s) {
         s.test_settings.imprinters = 0x11;
         s.flatbed.status.code = 0xB1000000;
         s.flatbed.status.bytes = {0x00, 0x0C, 0x00, 0x01};
       });
     }},
    {"model17", "DE-T8713ZP",
     [](DeviceBuilder& d) {
       d.OnStiUsb(1).Imprinters(true, true).FlatbedAttached().PowerOffCapability().Sleep(0, 45);
       d.Edit([](ScannerState& s) {
         s.individual_settings[0] = 0x68;  // double-feed image, delicate feed, double width
         s.test_settings.double_feed = 0x06;  // stop, enhanced stapled detection
       });
     }},
    {"model19", "DE-T8763ZP", [](DeviceBuilder& d) { d.OnStiScsi().Imprinters(false, true); }},
    {"model22", "DE-T3733Z",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 4).Imprinters(true, false).FlatbedAttached();
       d.Edit([](ScannerState& s) {
         s.individual_settings[0] = 0x48;
         s.test_settings.dropout = 2;
       });
     }},
    {"model33", "DE-T5473Z",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 2).Imprinters(false, true).CompatibleMode(11, 11);
       d.Edit([](ScannerState& s) { s.versions.fifth = "0.31"; });
     },
     false},
    {"model34", "DE-T5763",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 1).Imprinters(false, true);
       d.Edit([](ScannerState& s) { s.versions.fifth = "0.32"; });
     },
     false},
    {"model35", "TW-9777",
     [](DeviceBuilder& d) {
       d.OnAspi(0, 2).Imprinters(true, true);
       d.Edit([](ScannerState& s) {
         s.individual_settings[0] = 0x40;
         s.versions.fourth = "0.41";
         s.versions.fifth = "0.51";
       });
     },
     false},
    {"model37", "DE-T4793Z",
     [](DeviceBuilder& d) {
       d.OnStiUsb(2).RollerCounts(120, 3400, 56000).Thresholds(5000, 100000, 200000).PowerOffCapability();
       d.Edit([](ScannerState& s) {
         s.individual_settings[0] = 0x80;
         s.shading_source = 1;
       });
     }},
    {"model40", "DE-T4713Z",
     [](DeviceBuilder& d) {
       d.OnStiUsb(1).FlatbedAttached().Status(0x08000000, {0x00, 0x00, 0x10, 0x00});
     }},
};

class ScannerPartTest : public ReportTest {};

TEST_F(ScannerPartTest, EachFamilyAsItsGoldenText) {
  for (const GoldenCase& c : kGoldenCases) {
    SCOPED_TRACE(c.name);
    emulator::BusBuilder builder;
    c.setup(builder.Device("S").Product(c.product));
    if (c.listed) {
      OpenBus(builder);
      ExpectGolden(c.name, ScannerPart());
      EXPECT_TRUE(written_);
    } else {
      Attach(builder);
      ASSERT_EQ(Identify(), 1);
      ExpectGolden(c.name, OneScannerPart());
      EXPECT_TRUE(written_);
    }
    device::CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

// The flatbed unit is never reported alone; identified by itself it gets the
// illumination family's sections, and its report ends at the sleep setting, a
// read the unit does not answer.
TEST_F(ScannerPartTest, FlatbedUnitIdentifiedAloneEndsAtItsSleepMode) {
  Connect("DE-TT767");
  ReportFile file;
  ASSERT_TRUE(file.Create(kPartPath));
  EXPECT_FALSE(WriteScannerReport(file, context_));
  file.Close();
  ExpectGolden("model44", platform::testing::ReadAll(prefix_.drive_c() / "part.txt"));
  EXPECT_FALSE(prompter_.boxes().empty());
}

// Two scanners and the flatbed unit of the first: the unit is reported inside its
// scanner's sections, the scanners in list order.
TEST_F(ScannerPartTest, TwoScannersAndAFlatbedUnitOnOneBus) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T5713ZP").OnStiUsb(2).Imprinters(true, true).FlatbedAttached().FlatbedUnit("F");
  builder.Device("F").Product("DE-TT767").OnStiUsb(2);
  builder.Device("T").Product("DE-T4783Z").OnStiUsb(1);
  OpenBus(builder);
  const std::string part = ScannerPart();
  ExpectGolden("two_scanners_and_flatbed", part);
  EXPECT_TRUE(written_);
}

}  // namespace
}  // namespace report::testing

namespace report::testing {
namespace {

// Every model of the table answers every exchange its report makes: the sections
// run to the end without a box.
TEST_F(ScannerPartTest, EveryModelAnswersItsWholeReport) {
  for (const scanner::ModelRow& row : scanner::ModelTable()) {
    if (row.code == scanner::kFlatbedModelCode || std::string_view(row.name) == "DE-T") continue;
    SCOPED_TRACE(row.name);
    emulator::BusBuilder builder;
    builder.Device("S").Product(row.name).OnAspi(0, 2).FlatbedAttached();
    Attach(builder);
    ASSERT_EQ(Identify(), 1);
    prompter_.Clear();
    const std::string part = OneScannerPart();
    EXPECT_TRUE(written_) << part;
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
    EXPECT_NE(part.find("<< Counter >>"), std::string::npos);
    device::CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

}  // namespace
}  // namespace report::testing
