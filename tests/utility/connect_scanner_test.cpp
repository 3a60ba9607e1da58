#include "utility/connect_scanner.h"

#include <gtest/gtest.h>

#include "device/device_library.h"
#include "scanner/last_scanner.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/select_scanner_lines.h"

namespace utility {
namespace {

using scanner::testing::ScannerTest;

class ConnectScannerTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    SetScannerChooser([this](const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current,
                             bool must_choose) {
      offered = list;
      offered_current = current != nullptr;
      offered_must_choose = must_choose;
      return choice;
    });
  }
  void TearDown() override {
    SetScannerChooser(nullptr);
    ScannerTest::TearDown();
  }
  void OpenBus(emulator::BusBuilder& builder) {
    Open(builder.Build());
    scanner_ = bus_->Find("S");
  }

  std::vector<device::DeviceRecord> offered;
  bool offered_current = false;
  bool offered_must_choose = false;
  int choice = -1;
};

TEST_F(ConnectScannerTest, OneScannerIsConnectedAndRemembered) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb();
  OpenBus(builder);
  ASSERT_EQ(ConnectScanner(context_), 1);
  EXPECT_TRUE(context_.connected);
  EXPECT_EQ(context_.model_code, 39);
  EXPECT_TRUE(offered.empty());
  device::DeviceRecord last;
  ASSERT_TRUE(scanner::LoadLastScanner(last));
  EXPECT_TRUE(last == context_.record);
}

TEST_F(ConnectScannerTest, SeveralScannersAskUnlessTheLastOneIsAmongThem) {
  emulator::BusBuilder builder;
  builder.Device("A").Product("DE-T4783Z").OnStiUsb();
  builder.Device("S").Product("DE-T4793Z").OnAspi(0, 3);
  OpenBus(builder);
  choice = 1;
  ASSERT_EQ(ConnectScanner(context_), 1);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_TRUE(offered_must_choose);
  EXPECT_FALSE(offered_current);
  EXPECT_EQ(context_.model_code, 37);

  offered.clear();
  ASSERT_EQ(ConnectScanner(context_), 1);  // the saved record matches: no question
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(context_.model_code, 37);

  device::DeviceRecord gone{};
  ASSERT_TRUE(scanner::SaveLastScanner(gone));
  choice = -1;
  EXPECT_EQ(ConnectScanner(context_), 0);  // asked again, and cancelled
  EXPECT_EQ(offered.size(), 2u);
  EXPECT_FALSE(context_.connected);
}

TEST_F(ConnectScannerTest, WithoutAScannerTheDebugModelIsSimulated) {
  emulator::BusBuilder builder;
  OpenBus(builder);
  EXPECT_EQ(ConnectScanner(context_), 0);
  EXPECT_FALSE(device::SimulatedScanner());

  WriteIni("[Debug]\nDummyModel=DE-T4783Z\nDummyInterface=1\n");
  ASSERT_EQ(ConnectScanner(context_), 1);
  EXPECT_TRUE(device::SimulatedScanner());
  EXPECT_EQ(context_.model_code, 39);
  EXPECT_EQ(context_.interface_kind, scanner::kInterfaceStiUsbFull);
  EXPECT_EQ(context_.record.kind, device::kKindStiOther);
  EXPECT_EQ(context_.record.UsbSpeed, 1);
}

TEST_F(ConnectScannerTest, DummyInterfaceChoosesTheRecordsBus) {
  struct Case {
    int dummy;
    uint8_t kind, usb_speed, ha, target;
  } const cases[] = {{0, 3, 0, 0, 0}, {1, 3, 1, 0, 0}, {2, 2, 0, 0, 0}, {3, 1, 0, 1, 2}, {7, 3, 0, 0, 0}};
  for (const Case& c : cases) {
    WriteIni("[Debug]\nDummyModel=DE-T2713Z\nDummyInterface=" + std::to_string(c.dummy) + "\n");
    const auto record = SimulatedScannerRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->kind, c.kind) << c.dummy;
    EXPECT_EQ(record->UsbSpeed, c.usb_speed);
    EXPECT_EQ(record->hostID, c.ha);
    EXPECT_EQ(record->TargetID, c.target);
  }
}

TEST_F(ConnectScannerTest, SelectScannerLines) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnAspi(0, 1).OnStiScsi();  // one scanner on both: listed once
  builder.Device("B").Product("DE-T4783Z").OnStiUsb();
  builder.Device("C").Product("DE-T9733A").OnAspi(0, 4).CompatibleMode(17, 0);
  builder.Device("D").Product("DE-T2713Z").OnAspi(0, 5).CompatibleMode(40, 0);
  OpenBus(builder);
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 4u);
  const auto lines = SelectScannerLines(records, &records[1]);
  EXPECT_EQ(lines, (std::vector<std::string>{"DE-T4783Z        SCSI", "DE-T4783Z        USB",
                                             "DE-T5713ZP       SCSI", "DE-T2713Z        SCSI"}));
  EXPECT_TRUE(*device::CurrentDevice() == records[1]);
  EXPECT_EQ(InitialSelection(records, &records[1]), 1);
  EXPECT_EQ(InitialSelection(records, nullptr), 0);
}

}  // namespace
}  // namespace utility
