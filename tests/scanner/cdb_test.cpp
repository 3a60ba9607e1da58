#include "scanner/cdb.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "emulator/exchange.h"
#include "tests/device/device_fixture.h"

namespace scanner::cdb {
namespace {

using emulator::Direction;
using Bytes = std::vector<uint8_t>;

// One SCSI scanner on ASPI adapter 0, target 3, selected: the ASPI exchange shows
// the request block's flags, sense length and transfer length as they were sent.
class CdbTest : public device::testing::DeviceLibraryTest {
 protected:
  void SetUp() override {
    emulator::BusBuilder builder;
    builder.Device("A").Product("DE-T2713Z").OnAspi(0, 3).CompatibleMode(16, 5);
    Open(builder.Build());
    ASSERT_EQ(Enumerate().size(), 1u);
    device_ = bus_->Find("A");
    device_->ClearLog();
  }

  emulator::Exchange OnlyCommand() {
    auto commands = device_->Commands();
    EXPECT_EQ(commands.size(), 1u);
    return commands.empty() ? emulator::Exchange{} : commands.back();
  }

  std::shared_ptr<emulator::EmulatedDevice> device_;
};

struct CdbCase {
  const char* name;
  std::function<void()> send;
  Bytes cdb;
  uint8_t flags;
  uint32_t length;
  Bytes data_out;
};

uint8_t g_in[10000];
const uint8_t kOut4[4] = {0x80, 1, 2, 3};

TEST_F(CdbTest, EveryFormIsSentByteExactly) {
  DataBufferStatus status;
  ImageGeometry geometry;
  const CdbCase cases[] = {
      {"test unit ready", [] { TestUnitReady(0, 3); }, {0, 0, 0, 0, 0, 0}, 0x10, 0, {}},
      {"inquiry", [] { Inquiry(0, 3, g_in); }, {0x12, 0, 0, 0, 0x60, 0}, 0x08, 96, {}},
      {"scan", [] { Scan(0, 3); }, {0x1B, 0, 0, 0, 0, 0}, 0x10, 0, {}},
      {"set window without a window", [] { SetWindow(0, 3, nullptr); }, {0x24, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x10,
       0, {}},
      {"get data buffer status", [&] { GetDataBufferStatus(0, 3, status); }, {0x34, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0},
       0x08, 12, {}},
      {"read image data", [] { ReadImageData(0, 3, 0x0180, g_in, 0x012345); },
       {0x28, 0, 0, 0, 0x01, 0x80, 0x01, 0x23, 0x45, 0}, 0x08, 0x012345, {}},
      {"read type 0x80", [&] { ReadImageGeometry(0, 3, 0x80, geometry); }, {0x28, 0, 0x80, 0, 0, 0x80, 0, 0, 0x10, 0},
       0x08, 16, {}},
      {"read type 0x93", [] { ReadType93(0, 3, g_in); }, {0x28, 0, 0x93, 0, 0, 0, 0, 0, 0x20, 0}, 0x08, 32, {}},
      {"vendor read of 10000 bytes", [] { VendorRead(0, 3, 0x96, g_in, 10000); },
       {0xE0, 0, 0x96, 0, 0, 0, 0x00, 0x27, 0x10, 0}, 0x08, 10000, {}},
      {"vendor read with qualifier", [] { VendorReadQualified(0, 3, 0xA3, 0x80, g_in, 130); },
       {0xE0, 0, 0xA3, 0, 0x80, 0, 0, 0, 130, 0}, 0x08, 130, {}},
      {"flash read", [] { VendorReadFlash(0, 3, 0x03A1B2, g_in, 0x200); },
       {0xE0, 0, 0x96, 0x03, 0xA1, 0xB2, 0, 0x02, 0, 0}, 0x08, 0x200, {}},
      {"vendor write", [] { VendorWrite(0, 3, 0x91, kOut4, 4); }, {0xE1, 0, 0x91, 0, 0, 0, 0, 0, 4, 0}, 0x10, 4,
       {0x80, 1, 2, 3}},
      {"vendor write, parameter form", [] { VendorWriteParameter(0, 3, 0xB1, 0x010203); },
       {0xE1, 0, 0xB1, 0x01, 0x02, 0x03, 0, 0, 0, 0}, 0x10, 0, {}},
      {"flash write", [] { VendorWriteFlash(0, 3, 0x040000, kOut4, 4); }, {0xE1, 0, 0xA9, 0x04, 0, 0, 0, 0, 4, 0},
       0x10, 4, {0x80, 1, 2, 3}},
      {"flatbed read", [] { FlatbedRead(0, 3, 0x04, g_in, 8); }, {0xE8, 0, 0x04, 0, 0, 0, 0, 0, 8, 0}, 0x08, 8, {}},
      {"flatbed write", [] { FlatbedWrite(0, 3, 0x02, kOut4, 2); }, {0xE9, 0, 0x02, 0, 0, 0, 0, 0, 2, 0}, 0x10, 2,
       {0x80, 1}},
  };
  for (const CdbCase& c : cases) {
    SCOPED_TRACE(c.name);
    device_->ClearLog();
    c.send();
    const emulator::Exchange sent = OnlyCommand();
    EXPECT_EQ(sent.Cdb(), c.cdb) << emulator::Describe(sent);
    EXPECT_EQ(sent.aspi_flags & 0x18, c.flags);
    EXPECT_EQ(sent.data_length, c.length);
    EXPECT_EQ(sent.sense_length, 14);
    EXPECT_EQ(sent.data_out, c.data_out);
    // Bytes 10-15 of the block's CDB field stay clear.
    EXPECT_EQ(Bytes(sent.cdb_area.begin() + sent.cdb_length, sent.cdb_area.end()), Bytes(16 - sent.cdb_length, 0));
  }
}

TEST_F(CdbTest, SetWindowSendsTheParameterList) {
  WindowRecord window{};
  window.identifier = 0x80;
  window.x_resolution = 300;
  SetWindow(0, 3, &window);
  const emulator::Exchange sent = OnlyCommand();
  EXPECT_EQ(sent.Cdb(), (Bytes{0x24, 0, 0, 0, 0, 0, 0, 0, 72, 0}));
  ASSERT_EQ(sent.data_out.size(), 72u);
  EXPECT_EQ(sent.data_out[7], 0x40);
  EXPECT_EQ(sent.data_out[8], 0x80);
  EXPECT_EQ(sent.data_out[10], 0x01);
  EXPECT_EQ(sent.data_out[11], 0x2C);
}

TEST_F(CdbTest, AVendorReadDeliversTheAnswerIntoTheCallersBuffer) {
  uint8_t answer[2] = {0xEE, 0xEE};
  EXPECT_EQ(VendorRead(0, 3, 0xA2, answer, 2), 0);
  EXPECT_EQ(answer[0], 16);
  EXPECT_EQ(answer[1], 5);
  EXPECT_EQ(OnlyCommand().returned, 2u);
}

}  // namespace
}  // namespace scanner::cdb
