#include "emulator/aspi_manager.h"

#include <gtest/gtest.h>

#include "emulator/command_table.h"
#include "platform/clock.h"
#include "platform/handles.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::CommandMatch;
using emulator::Sense;

class AspiManagerTest : public ::testing::Test {
 protected:
  platform::DWORD Send(aspi::SRB_ExecSCSICmd& srb) { return emulator::SendAspiCommand(*s.bus, &srb); }
  platform::ScopedFakeClock clock;
  TwoScanners s;
};

TEST_F(AspiManagerTest, SupportInfoCountsAdaptersOrReportsConfiguredStatus) {
  EXPECT_EQ(s.bus->AspiSupportInfo(), 0x0101u);  // status 1, adapter 0 in use

  emulator::BusBuilder usb_only;
  usb_only.Device("usb").OnStiUsb();
  EXPECT_EQ(usb_only.Build()->AspiSupportInfo(), 0xE800u);

  emulator::BusBuilder configured;
  configured.Device("a").OnAspi(2, 0);
  EXPECT_EQ(configured.Build()->AspiSupportInfo(), 0x0103u);
  configured.AspiSupport(0x04, 2);
  EXPECT_EQ(configured.Build()->AspiSupportInfo(), 0x0402u);
}

TEST_F(AspiManagerTest, InquiryCompletesWithDataStatusLastAndEvent) {
  uint8_t data[96] = {};
  platform::HANDLE event = platform::CreateEvent(true, false);
  auto srb = ExecBlock(0, 3, kInquiry, aspi::SRB_DIR_IN | aspi::SRB_EVENT_NOTIFY, data, sizeof(data));
  srb.SRB_PostProc = event;
  EXPECT_EQ(Send(srb), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_TargStat, 0);
  EXPECT_EQ(platform::WaitForSingleObject(event, 0), platform::WAIT_OBJECT_0);
  platform::CloseHandle(event);

  EXPECT_EQ(data[0], 6);
  EXPECT_EQ(data[4], 91);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data) + 8, 28), "Q.M.X.  DE-T9793        1.00");

  const auto log = s.scsi->Commands();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].transport, emulator::Transport::kAspi);
  EXPECT_EQ(log[0].Cdb(), kInquiry);
  EXPECT_EQ(log[0].cdb_area.size(), 16u);
  EXPECT_EQ(log[0].direction, emulator::Direction::kIn);
  EXPECT_EQ(log[0].data_length, 96u);
  EXPECT_EQ(log[0].returned, 96u);
  EXPECT_EQ(log[0].aspi_flags, aspi::SRB_DIR_IN | aspi::SRB_EVENT_NOTIFY);
  EXPECT_EQ(log[0].sense_length, 14);
}

TEST_F(AspiManagerTest, NoDeviceAtAddressOrLogicalUnit) {
  auto srb = ExecBlock(0, 4, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_NO_DEVICE);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_NO_DEVICE);
  srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  srb.SRB_Lun = 1;
  EXPECT_EQ(Send(srb), aspi::SS_NO_DEVICE);
  EXPECT_TRUE(s.scsi->Commands().empty());
}

TEST_F(AspiManagerTest, CheckConditionFillsSenseAreaAndConsumesTheSense) {
  s.scsi->AddFault(emulator::SenseFault(CommandMatch::Command(0xE0, 0x01), Sense{3, 0x3A, 0, 0x01020304, true, true}));
  uint8_t data[12] = {};
  auto srb = ExecBlock(0, 3, Cdb10(0xE0, 0x01, 12), aspi::SRB_DIR_IN, data, 12);
  EXPECT_EQ(Send(srb), aspi::SS_ERR);
  EXPECT_EQ(srb.SRB_TargStat, 2);
  const Bytes expected = {0x70, 0, 0x63, 1, 2, 3, 4, 10, 0, 0, 0, 0, 0x3A, 0};
  EXPECT_EQ(Bytes(srb.SenseArea, srb.SenseArea + 14), expected);
  EXPECT_EQ(srb.SenseArea[14], 0) << "only the sense length is written";
  EXPECT_FALSE(s.scsi->PendingSense()) << "auto sense delivered it";

  srb = ExecBlock(0, 3, Cdb10(0xE0, 0x01, 12), aspi::SRB_DIR_IN, data, 12);
  EXPECT_EQ(Send(srb), aspi::SS_COMP) << "injected for one time only";
}

TEST_F(AspiManagerTest, BusyAndTransportErrorFaults) {
  s.scsi->AddFault(emulator::BusyFault(CommandMatch::Opcode(0x00), 1));
  s.scsi->AddFault(emulator::TransportErrorFault(CommandMatch::Opcode(0x00), 1));
  auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_TargStat, 0x08);
  srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_ERR);
  EXPECT_EQ(srb.SRB_TargStat, 0);
  srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_TargStat, 0);
}

TEST_F(AspiManagerTest, NeverAnsweringTargetStaysPendingUntilAborted) {
  s.scsi->AddFault(emulator::NoAnswerFault(CommandMatch::Any()));
  platform::HANDLE event = platform::CreateEvent(true, false);
  auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT | aspi::SRB_EVENT_NOTIFY, nullptr, 0);
  srb.SRB_PostProc = event;
  EXPECT_EQ(Send(srb), aspi::SS_PENDING);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_PENDING);
  EXPECT_EQ(platform::WaitForSingleObject(event, 10000), platform::WAIT_TIMEOUT);
  EXPECT_EQ(s.bus->PendingCount(), 1u);

  aspi::SRB_Abort abort{};
  abort.SRB_Cmd = aspi::SC_ABORT_SRB;
  abort.SRB_ToAbort = &srb;
  EXPECT_EQ(emulator::SendAspiCommand(*s.bus, &abort), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_ABORTED);
  EXPECT_EQ(platform::WaitForSingleObject(event, 0), platform::WAIT_OBJECT_0);
  EXPECT_EQ(s.bus->PendingCount(), 0u);

  // A block that is no longer pending cannot be aborted again.
  EXPECT_EQ(emulator::SendAspiCommand(*s.bus, &abort), 0xE3u);
  platform::CloseHandle(event);
}

TEST_F(AspiManagerTest, NeverWritesBeyondTheBuffer) {
  uint8_t data[20];
  std::memset(data, 0xCC, sizeof(data));
  // The CDB asks for the 14 bytes of the system counters, the block offers 8.
  s.scsi->EditState([](emulator::ScannerState& state) { state.counters.system = 0x01020304; });
  auto srb = ExecBlock(0, 3, Cdb10(0xE0, 0x86, 14), aspi::SRB_DIR_IN, data, 8);
  EXPECT_EQ(Send(srb), aspi::SS_COMP);
  EXPECT_EQ(Bytes(data, data + 8), (Bytes{1, 2, 3, 4, 0, 0, 0, 0}));
  for (size_t i = 8; i < sizeof(data); ++i) EXPECT_EQ(data[i], 0xCC);
  EXPECT_EQ(s.scsi->Commands().back().returned, 8u);
}

TEST_F(AspiManagerTest, UnplugAfterRequestsAnswersNoDevice) {
  s.scsi->SetUnplugAfter(2);
  for (int i = 0; i < 2; ++i) {
    auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
    EXPECT_EQ(Send(srb), aspi::SS_COMP);
  }
  EXPECT_FALSE(s.scsi->Plugged());
  auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_NO_DEVICE);
  s.scsi->Plug();
  srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(Send(srb), aspi::SS_COMP);
}

TEST_F(AspiManagerTest, UnknownCommandCodesAndNullBlocks) {
  aspi::SRB_Header header{};
  header.SRB_Cmd = aspi::SC_HA_INQUIRY;
  EXPECT_EQ(emulator::SendAspiCommand(*s.bus, &header), 0x80u);
  EXPECT_EQ(header.SRB_Status, 0x80);
  EXPECT_EQ(emulator::SendAspiCommand(*s.bus, nullptr), 0xE0u);
}

}  // namespace
