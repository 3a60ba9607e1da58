#include <gtest/gtest.h>

#include "emulator/exchange.h"
#include "tests/device/device_fixture.h"

namespace device::testing {
namespace {

using DeviceListTest = DeviceLibraryTest;

TEST_F(DeviceListTest, ScannerOnBothTransportsIsListedOnceAsStillImage) {
  emulator::BusBuilder builder;
  builder.Device("both").Product("DE-T9793").OnAspi(0, 3).OnStiScsi();
  builder.Device("aspi").Product("DE-T9791").OnAspi(0, 4);
  builder.Device("usb").Product("DE-T4783Z").OnStiUsb(0);
  EXPECT_EQ(Open(builder.Build()), kOpenAspi | kOpenStillImage);
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(Product(records[0]), "DE-T9793");
  EXPECT_EQ(records[0].kind, kKindStiScsi);
  EXPECT_EQ(Product(records[1]), "DE-T4783Z");
  EXPECT_EQ(records[1].kind, kKindStiOther);
  EXPECT_EQ(records[1].UsbSpeed, 1);  // the speed byte was not 1: a full-speed connection
  EXPECT_EQ(Product(records[2]), "DE-T9791");
  EXPECT_EQ(records[2].kind, kKindAspi);
  EXPECT_EQ(records[2].hostID, 0);
  EXPECT_EQ(records[2].TargetID, 4);
  // The first record is current afterwards.
  ASSERT_NE(CurrentDevice(), nullptr);
  EXPECT_TRUE(*CurrentDevice() == records[0]);
}

TEST_F(DeviceListTest, EachTransportContributesAtMostEight) {
  for (bool still_image : {true, false}) {
    SCOPED_TRACE(still_image ? "still-image" : "ASPI");
    emulator::BusBuilder builder;
    for (int i = 0; i < 9; ++i) {
      auto& d = builder.Device("d" + std::to_string(i)).Product("DE-T4783Z").Revision(std::to_string(i));
      if (still_image)
        d.OnStiUsb();
      else
        d.OnAspi(0, static_cast<uint8_t>(i));
    }
    Open(builder.Build());
    const auto records = Enumerate();
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[7].Inquiry[32], '7');
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(DeviceListTest, FiltersDecideWhatIsListed) {
  emulator::BusBuilder builder;
  builder.Device("other vendor").Product("DE-T4783Z").OnStiUsb().VendorDescription(u"Someone");
  builder.Device("printer").Product("DE-T4783Z").PeripheralType(2).OnAspi(0, 1);
  builder.Device("other product").Product("XY-1").OnAspi(0, 2);
  builder.Device("wanted").Vendor("Q.M.X.").Product("DE-T9733A").OnAspi(0, 3);
  Open(builder.Build());
  const StiFilter sti[] = {MakeStiFilter("Quorvex", "DE-T")};
  const InquiryFilter inquiry[] = {MakeInquiryFilter("Q.M.X.", "DE-T9733A"), MakeInquiryFilter("VORANTEK", "DE-T")};
  ASSERT_EQ(SetStiFilters(1, sti), 0);
  ASSERT_EQ(SetInquiryFilters(2, inquiry), 0);
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(Product(records[0]), "DE-T9733A");

  std::vector<InquiryFilter> too_many(65, MakeInquiryFilter("", ""));
  EXPECT_EQ(SetInquiryFilters(65, too_many.data()), 1);
  EXPECT_EQ(Enumerate().size(), 1u);  // the list stayed as it was
  std::vector<StiFilter> too_many_sti(65, MakeStiFilter("", ""));
  EXPECT_EQ(SetStiFilters(65, too_many_sti.data()), 1);
}

TEST_F(DeviceListTest, BusyOrSilentStillImageDevicesAreSkipped) {
  emulator::BusBuilder builder;
  builder.Device("held").Product("DE-T4783Z").OnStiUsb().LockHeldElsewhere();
  builder.Device("no inquiry").Product("DE-T4783Z").OnStiUsb().Fault(
      emulator::TransportErrorFault(emulator::CommandMatch::Opcode(0x12)));
  builder.Device("no speed").Product("DE-T4783Z").OnStiUsb().FailEscape(0x1003);
  builder.Device("cannot create").Product("DE-T4783Z").OnStiUsb().FailCreate();
  builder.Device("fine").Product("DE-T4797Z").OnStiUsb();
  Open(builder.Build());
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(Product(records[0]), "DE-T4797Z");
}

TEST_F(DeviceListTest, AspiTargetThatNeverAnswersIsAbortedAfterTenSeconds) {
  emulator::BusBuilder builder;
  builder.Device("silent").Product("DE-T9793").OnAspi(0, 0).Fault(
      emulator::NoAnswerFault(emulator::CommandMatch::Opcode(0x00), 1));
  builder.Device("fine").Product("DE-T9791").OnAspi(0, 1);
  Open(builder.Build());
  const auto before = platform::GetTickCount();
  const auto records = Enumerate();
  // Only the silent TEST UNIT READY waited; its INQUIRY answered and the device is listed.
  EXPECT_EQ(platform::GetTickCount() - before, 10000u);
  EXPECT_EQ(bus_->PendingCount(), 0u);
  ASSERT_EQ(records.size(), 2u);
}

TEST_F(DeviceListTest, FirstDeviceNotAnsweringEmptiesTheList) {
  emulator::BusBuilder builder;
  builder.Device("first").Product("DE-T4783Z").OnStiScsi();
  builder.Device("second").Product("DE-T4797Z").OnStiUsb();
  Open(builder.Build());
  const auto listed = Enumerate();
  ASSERT_EQ(listed.size(), 2u);
  bus_->Find("first")->SetUnplugAfter(2);  // the enumeration's TEST UNIT READY and INQUIRY only
  EXPECT_TRUE(Enumerate().empty());
  EXPECT_EQ(CurrentDevice(), nullptr);
  // The table counts as empty for later calls too.
  EXPECT_EQ(SelectDevice(listed[1]), 2);
  EXPECT_EQ(CurrentDevice(), nullptr);
}

TEST_F(DeviceListTest, UsbSpeedComesFromTheEscapeOfTheDevicesForm) {
  struct Case {
    uint8_t escape_form_byte;  // bit 0 set: escape 0x1003, else the 4-byte block of escape 4
    bool wow64;
    uint8_t speed_byte;
    uint8_t usb_speed;  // 1 for a full-speed connection
  } const cases[] = {
      {1, false, 1, 0}, {1, false, 0, 1}, {0, false, 1, 0}, {0, false, 0, 1},
      {0, true, 1, 0},  {0, true, 0, 1},  {1, true, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "form byte " << int(c.escape_form_byte) << (c.wow64 ? " wow64" : "")
                                      << " speed " << int(c.speed_byte));
    platform::system::ForceWow64ForTest(c.wow64);
    emulator::BusBuilder builder;
    builder.Device("usb").Product("DE-T4783Z").OnStiUsb(c.speed_byte).EscapeFormByte(c.escape_form_byte);
    Open(builder.Build());
    const auto records = Enumerate();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].UsbSpeed, c.usb_speed);
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(DeviceListTest, SelectDeviceResults) {
  emulator::BusBuilder builder;
  builder.Device("a").Product("DE-T4783Z").OnStiUsb();
  builder.Device("b").Product("DE-T4797Z").OnStiUsb();
  Open(builder.Build());
  DeviceRecord stranger{};
  EXPECT_EQ(SelectDevice(stranger), 2);  // empty table
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(SelectDevice(stranger), 1);
  EXPECT_EQ(SelectDevice(records[1]), 0);
  EXPECT_TRUE(*CurrentDevice() == records[1]);

  bus_->Find("a")->SetLockHeldElsewhere(emulator::kAlways);
  EXPECT_EQ(SelectDevice(records[0]), 3);
  EXPECT_EQ(CurrentDevice(), nullptr);
  bus_->Find("a")->SetLockHeldElsewhere(0);
  bus_->Find("a")->SetOffline(true);
  EXPECT_EQ(SelectDevice(records[0]), 4);
  bus_->Find("a")->SetOffline(false);
  bus_->Find("a")->SetCreateFailures(1);
  EXPECT_EQ(SelectDevice(records[0]), 2);
  bus_->Find("b")->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0), {2, 4, 1}));
  EXPECT_EQ(SelectDevice(records[1]), 0);  // a device that answers with sense data is present
}

TEST_F(DeviceListTest, FlatbedUnitIsFoundByItsProduct) {
  emulator::BusBuilder builder;
  builder.Device("scanner").Product("DE-T4783Z").OnStiUsb();
  builder.Device("flatbed").Product("DE-TT767").OnStiUsb();
  Open(builder.Build());
  DeviceRecord flatbed{};
  EXPECT_TRUE(FindFlatbedUnit(flatbed));
  EXPECT_EQ(Product(flatbed), "DE-TT767");
  EXPECT_EQ(CountDevices(), 2);
  bus_->Find("flatbed")->Unplug();
  EXPECT_FALSE(FindFlatbedUnit(flatbed));
}

TEST_F(DeviceListTest, MissingLibrariesLeaveTransportsUnusable) {
  struct Case {
    emulator::AspiModule aspi;
    emulator::StiModule sti;
    uint32_t usable;
  } cases[] = {
      {emulator::AspiModule::kComplete, emulator::StiModule::kComplete, kOpenAspi | kOpenStillImage},
      {emulator::AspiModule::kWithoutSendCommand, emulator::StiModule::kComplete, kOpenStillImage},
      {emulator::AspiModule::kWithoutSupportInfo, emulator::StiModule::kWithoutCreateInstance, 0},
      {emulator::AspiModule::kNotRegistered, emulator::StiModule::kNotRegistered, 0},
      {emulator::AspiModule::kComplete, emulator::StiModule::kNotRegistered, kOpenAspi},
  };
  for (const Case& c : cases) {
    emulator::BusBuilder builder;
    builder.Device("s").Product("DE-T9793").OnAspi(0, 1);
    EXPECT_EQ(Open(builder.Build(), {c.aspi, c.sti}), c.usable);
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
  // The support status is the ASPI manager's own answer; the SCSI generic provider
  // computes its own from the nodes.
  if (OverScsiGeneric()) return;
  emulator::BusBuilder builder;
  builder.Device("s").Product("DE-T9793").OnAspi(0, 1);
  builder.AspiSupport(4, 1);  // support status not "completed"
  EXPECT_EQ(Open(builder.Build()) & kOpenAspi, 0u);
}

}  // namespace
}  // namespace device::testing
