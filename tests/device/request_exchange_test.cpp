#include <gtest/gtest.h>

#include "device/device_library.h"
#include "emulator/exchange.h"
#include "platform/bytes.h"
#include "tests/device/device_fixture.h"

namespace device::testing {
namespace {

using emulator::Direction;
using emulator::Transport;

class RequestTest : public DeviceLibraryTest {
 protected:
  // One still-image scanner on USB with the given escape form byte, selected.
  std::shared_ptr<emulator::EmulatedDevice> StartScanner(uint8_t escape_form_byte, bool wow64,
                                                        emulator::BusBuilder builder = {}) {
    platform::system::ForceWow64ForTest(wow64);
    builder.Device("A").Product("DE-T4783Z").OnStiUsb().EscapeFormByte(escape_form_byte).CompatibleMode(17, 3);
    EXPECT_EQ(Open(builder.Build()) & kOpenStillImage, kOpenStillImage);
    EXPECT_EQ(Enumerate().size(), 1u);
    auto device = bus_->Find("A");
    device->ClearLog();
    return device;
  }
};

struct FormCase {
  const char* name;
  uint8_t escape_form_byte;
  bool wow64;
  Transport transport;
};

const FormCase kForms[] = {
    {"direct", 1, false, Transport::kEscapeDirect},
    {"pass-through", 0, false, Transport::kEscapePassThrough},
    {"wow64", 1, true, Transport::kEscapeWow64},
    {"wow64 with form 2", 0, true, Transport::kEscapeWow64},
};

TEST_F(RequestTest, EveryEscapeFormCarriesCommandsByteExactly) {
  for (const FormCase& form : kForms) {
    SCOPED_TRACE(form.name);
    auto device = StartScanner(form.escape_form_byte, form.wow64);

    uint8_t in[2] = {0xEE, 0xEE};
    ScsiRequestBlock read = VendorBlock(0xE0, 0xA2, in, 2);
    EXPECT_EQ(ExecuteRequest(read), 0);
    EXPECT_EQ(in[0], 17);
    EXPECT_EQ(in[1], 3);

    uint8_t out[2] = {0x05, 0x00};
    ScsiRequestBlock write = VendorBlock(0xE1, 0xA1, out, 2);
    EXPECT_EQ(ExecuteRequest(write), 0);

    ScsiRequestBlock tur = TestUnitReadyBlock();
    EXPECT_EQ(ExecuteRequest(tur), 0);

    const auto commands = device->Commands();
    ASSERT_EQ(commands.size(), 3u);
    const std::vector<uint8_t> read_cdb = {0xE0, 0, 0xA2, 0, 0, 0, 0, 0, 2, 0};
    const std::vector<uint8_t> write_cdb = {0xE1, 0, 0xA1, 0, 0, 0, 0, 0, 2, 0};
    const std::vector<uint8_t> tur_cdb = {0, 0, 0, 0, 0, 0};
    EXPECT_EQ(commands[0].Cdb(), read_cdb);
    EXPECT_EQ(commands[1].Cdb(), write_cdb);
    EXPECT_EQ(commands[2].Cdb(), tur_cdb);
    EXPECT_EQ(commands[1].data_out, std::vector<uint8_t>(out, out + 2));
    for (const auto& c : commands) EXPECT_EQ(c.transport, form.transport) << emulator::Describe(c);
    EXPECT_EQ(commands[0].direction, Direction::kIn);
    EXPECT_EQ(commands[1].direction, Direction::kOut);
    EXPECT_EQ(commands[2].direction, Direction::kNone);

    switch (form.transport) {
      case Transport::kEscapeDirect:
        EXPECT_EQ(commands[0].escape_code, 0x1002u);
        EXPECT_EQ(commands[1].escape_code, 0x1001u);
        EXPECT_EQ(commands[2].escape_code, 0x1002u);
        EXPECT_EQ(commands[0].in_size, 10u);
        EXPECT_EQ(commands[2].in_size, 6u);
        EXPECT_EQ(commands[0].out_size, 2u);
        EXPECT_EQ(commands[1].out_size, 2u);
        EXPECT_EQ(commands[2].out_size, 0u);
        break;
      case Transport::kEscapePassThrough:
        for (const auto& c : commands) {
          EXPECT_EQ(c.escape_code, 1u);
          EXPECT_EQ(c.in_size, 0u);
          EXPECT_EQ(c.out_size, 0u);
          EXPECT_EQ(c.cdb_area.size(), 10u);
        }
        EXPECT_EQ(commands[0].data_length, 2u);
        EXPECT_EQ(commands[2].data_length, 0u);
        break;
      default: {
        EXPECT_EQ(commands[0].in_size, 28u);
        EXPECT_EQ(commands[0].out_size, 70u);
        EXPECT_EQ(commands[1].in_size, 26u);
        EXPECT_EQ(commands[1].out_size, 72u);
        EXPECT_EQ(commands[2].in_size, 24u);
        EXPECT_EQ(commands[2].out_size, 72u);
        // The header: direction, CDB (10), CDB length, 0, data length, outgoing data.
        const std::vector<uint8_t> header = {2, 0, 0, 0, 0xE1, 0, 0xA1, 0, 0, 0, 0, 0, 2, 0,
                                             10, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0x05, 0x00};
        EXPECT_EQ(commands[1].raw_in, header);
        EXPECT_EQ(std::vector<uint8_t>(commands[0].raw_in.begin() + 24, commands[0].raw_in.end()),
                  std::vector<uint8_t>(4, 0));
      }
    }
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(RequestTest, FailedCommandFetchesSenseThroughTheSameForm) {
  for (const FormCase& form : kForms) {
    SCOPED_TRACE(form.name);
    auto device = StartScanner(form.escape_form_byte, form.wow64);
    device->AddFault(emulator::SenseFault(emulator::CommandMatch::Command(0xE0, 0xA2), {3, 0x3A, 0x00}));

    uint8_t in[2] = {};
    ScsiRequestBlock read = VendorBlock(0xE0, 0xA2, in, 2);
    EXPECT_EQ(ExecuteRequest(read), 0x0204);
    const SenseRecord sense = GetLastSense();
    EXPECT_EQ(sense.sense_key, 3);
    EXPECT_EQ(sense.asc, 0x3A);
    EXPECT_EQ(sense.ascq, 0);

    const auto commands = device->Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[1].Cdb(), (std::vector<uint8_t>{0x03, 0, 0, 0, 14, 0}));
    EXPECT_EQ(commands[1].transport, form.transport);
    EXPECT_EQ(commands[1].direction, Direction::kIn);
    EXPECT_EQ(commands[1].data_length, 14u);

    // The next good request clears the sense record.
    EXPECT_EQ(ExecuteRequest(read), 0);
    EXPECT_EQ(GetLastSense(), SenseRecord{});
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(RequestTest, EscapeFailureWithoutSenseIsATransportError) {
  auto device = StartScanner(1, false);
  device->AddEscapeFault({0x1002, platform::E_FAIL, 2});  // the command, then its REQUEST SENSE
  uint8_t in[2] = {};
  ScsiRequestBlock read = VendorBlock(0xE0, 0xA2, in, 2);
  read.SRB_Flags = platform::aspi::SRB_DIR_IN;
  EXPECT_EQ(ExecuteRequest(read), 0x0104);
}

TEST_F(RequestTest, LockHeldByAnotherProgramIsBusyNotSense) {
  auto device = StartScanner(1, false);
  device->SetLockHeldElsewhere(emulator::kAlways);
  const auto before = platform::GetTickCount();
  ScsiRequestBlock tur = TestUnitReadyBlock();
  EXPECT_EQ(ExecuteRequest(tur), kResultBusy);
  EXPECT_EQ(GetLastSense(), SenseRecord{});
  EXPECT_TRUE(device->Commands().empty());
  // The lock call waited its time-out (on the fake clock).
  EXPECT_EQ(platform::GetTickCount() - before, 30000u);
}

TEST_F(RequestTest, OfflineDeviceIsAnError) {
  auto device = StartScanner(1, false);
  device->SetOffline(true);
  ScsiRequestBlock tur = TestUnitReadyBlock();
  EXPECT_EQ(ExecuteRequest(tur), 0x0104);
}

TEST_F(RequestTest, SimulatedScannerTouchesNoTransport) {
  auto device = StartScanner(1, false);
  SetSimulatedScanner(true);
  uint8_t in[2] = {0xAB, 0xCD};
  ScsiRequestBlock read = VendorBlock(0xE0, 0xA2, in, 2);
  EXPECT_EQ(ExecuteRequest(read), 0);
  EXPECT_EQ(in[0], 0xAB);
  EXPECT_EQ(in[1], 0xCD);
  EXPECT_TRUE(device->Exchanges().empty());
  EXPECT_EQ(LockScanner(5, 1000), 0);
  EXPECT_TRUE(device->Exchanges().empty());
}

TEST_F(RequestTest, NoCurrentDeviceAnswersNoDevice) {
  Open(emulator::BusBuilder{}.Build());
  ScsiRequestBlock tur = TestUnitReadyBlock();
  EXPECT_EQ(ExecuteRequest(tur), kResultNoDevice);
}

TEST_F(RequestTest, LargeVendorReadArrivesWhole) {
  for (const FormCase& form : kForms) {
    SCOPED_TRACE(form.name);
    auto device = StartScanner(form.escape_form_byte, form.wow64);
    std::vector<uint8_t> answer(10000);
    for (size_t i = 0; i < answer.size(); ++i) answer[i] = static_cast<uint8_t>(i * 7);
    device->SetVendorRead(0x96, answer);
    std::vector<uint8_t> in(10000, 0);
    ScsiRequestBlock read = VendorBlock(0xE0, 0x96, in.data(), 10000);
    EXPECT_EQ(ExecuteRequest(read), 0);
    EXPECT_EQ(in, answer);
    EXPECT_EQ(device->Commands().at(0).Cdb()[6], 0x00);
    EXPECT_EQ(device->Commands().at(0).Cdb()[7], 0x27);
    EXPECT_EQ(device->Commands().at(0).Cdb()[8], 0x10);
    CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(RequestTest, AspiRequestsGoToTheRecordsTarget) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T9793").OnAspi(1, 5).CompatibleMode(16, 0);
  Open(builder.Build());
  ASSERT_EQ(Enumerate().size(), 1u);
  auto device = bus_->Find("S");
  device->ClearLog();
  uint8_t in[2] = {};
  ScsiRequestBlock read = VendorBlock(0xE0, 0xA2, in, 2);
  read.SRB_HaId = 7;  // callers' ids never matter
  read.SRB_Target = 9;
  EXPECT_EQ(ExecuteRequest(read), 0);
  EXPECT_EQ(in[0], 16);
  ASSERT_EQ(device->Commands().size(), 1u);
  EXPECT_EQ(device->Commands()[0].transport, Transport::kAspi);
  // Data in with the completion event; over SCSI generic only the direction reaches the device.
  EXPECT_EQ(device->Commands()[0].aspi_flags & 0x48, OverScsiGeneric() ? 0x08 : 0x48);

  device->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0xE0), {2, 0x04, 0x01}));
  EXPECT_EQ(ExecuteRequest(read), 0x0204);
  EXPECT_EQ(GetLastSense().asc, 0x04);
}

}  // namespace
}  // namespace device::testing
