// Scanning: windows per side, SCAN needing paper, buffer status, image geometry
// and a white page read in chunks that ends with end-of-medium and the residue.
#include <functional>

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::DeviceBuilder;
using emulator::EmulatedDevice;
using emulator::Outcome;
namespace bytes = platform::bytes;

const Bytes kScan = {0x1B, 0, 0, 0, 0, 0};
const Bytes kBufferStatus = {0x34, 0, 0, 0, 0, 0, 0, 0, 12, 0};

// A SET WINDOW parameter list: header with descriptor length 64, then the descriptor.
Bytes WindowList(uint8_t id, uint16_t dpi, uint32_t width, uint32_t length, uint8_t bits) {
  Bytes list(72, 0);
  bytes::PutBE16(&list[6], 64);
  list[8] = id;
  bytes::PutBE16(&list[10], dpi);
  bytes::PutBE16(&list[12], dpi);
  bytes::PutBE32(&list[22], width);
  bytes::PutBE32(&list[26], length);
  list[33] = 5;
  list[34] = bits;
  return list;
}

Bytes ReadImage(uint8_t side, uint32_t length) { return Cdb10At(0x28, 0x00, length, 0, 0, side); }

uint32_t Be24(const Bytes& b, size_t at) { return bytes::GetBE24(&b[at]); }

struct Chunk {
  uint32_t returned;
  bool end;
  uint32_t residue;
};

Chunk Read(EmulatedDevice& device, uint8_t side, uint32_t length) {
  const Answer answer = Exec(device, ReadImage(side, length), length);
  EXPECT_EQ(answer.data, Bytes(answer.data.size(), 0xFF)) << "white";
  const auto& sense = answer.result.sense;
  const bool check = answer.result.outcome == Outcome::kCheckCondition;
  if (check) {
    EXPECT_EQ(sense[2] & 0x0F, 0) << "no sense key";
    EXPECT_EQ(bool(sense[2] & 0x20), bytes::GetBE32(&sense[3]) != 0) << "incorrect length with a residue";
  }
  return {answer.result.returned, check && (sense[2] & 0x40) != 0, check ? bytes::GetBE32(&sense[3]) : 0};
}

TEST(ScanTest, BothSidesOfAWhitePageInChunks) {
  EmulatedDevice device(DeviceBuilder("d").Product("DE-T4783Z").Build());
  // One inch by two at 300 dpi, 24 bits: 300 pixels of 900 bytes, 600 lines.
  const Bytes front = WindowList(0x00, 300, 1200, 2400, 24);
  EXPECT_EQ(Exec(device, Cdb10(0x24, 0, 72), 0, front).result.outcome, Outcome::kGood);
  EXPECT_EQ(Exec(device, Cdb10(0x24, 0, 72), 0, WindowList(0x80, 300, 1200, 2400, 24)).result.outcome, Outcome::kGood);
  EXPECT_EQ(Exec(device, Cdb10(0x24, 0, 0)).result.outcome, Outcome::kGood) << "no window: those set stay";

  const Bytes geometry = Exec(device, Cdb10At(0x28, 0x80, 16, 0, 0, 0x00), 16).data;
  EXPECT_EQ(geometry, (Bytes{0, 0, 0x01, 0x2C, 0, 0, 0x02, 0x58, 0, 0, 0, 0, 0, 0, 0, 0}));

  Bytes status = Exec(device, kBufferStatus, 12).data;
  EXPECT_EQ(Be24(status, 9), 0u) << "nothing before SCAN";
  ASSERT_EQ(Exec(device, kScan).result.outcome, Outcome::kGood);
  status = Exec(device, kBufferStatus, 12).data;
  EXPECT_EQ(Be24(status, 0), 9u);
  EXPECT_EQ(Be24(status, 9), 2u * 540000);
  EXPECT_EQ(Be24(status, 6), 0x400000u - 2 * 540000);

  // 540000 bytes a side: two full chunks of 262144, then 15712 with the end.
  for (uint8_t side : {0x00, 0x80}) {
    SCOPED_TRACE(int(side));
    for (int i = 0; i < 2; ++i) {
      const Chunk chunk = Read(device, side, 262144);
      EXPECT_EQ(chunk.returned, 262144u);
      EXPECT_FALSE(chunk.end);
    }
    const Chunk last = Read(device, side, 262144);
    EXPECT_EQ(last.returned, 15712u);
    EXPECT_TRUE(last.end);
    EXPECT_EQ(last.residue, 262144u - 15712);
    const Chunk after = Read(device, side, 1000);
    EXPECT_EQ(after.returned, 0u);
    EXPECT_TRUE(after.end);
    EXPECT_EQ(after.residue, 1000u);
  }
  EXPECT_EQ(Be24(Exec(device, kBufferStatus, 12).data, 9), 0u);
  EXPECT_EQ(device.State().scan.scans, 1);
  ASSERT_TRUE(device.State().scan.last_window);
  EXPECT_EQ((*device.State().scan.last_window)[0], 0x80);
}

TEST(ScanTest, ExactChunkEndsThePageAndBlackAndWhiteIsClear) {
  EmulatedDevice device(DeviceBuilder("d").Product("DE-T2713Z").Build());
  // 100 dpi, one inch square, 1 bit: 100 pixels in 13 bytes, 100 lines.
  Exec(device, Cdb10(0x24, 0, 72), 0, WindowList(0x00, 100, 1200, 1200, 1));
  Exec(device, kScan);
  const Answer whole = Exec(device, ReadImage(0, 1300), 1300);
  EXPECT_EQ(whole.data, Bytes(1300, 0x00));
  EXPECT_EQ(whole.result.outcome, Outcome::kCheckCondition);
  EXPECT_EQ(whole.result.sense[2], 0x40) << "end of medium, no residue";
}

TEST(ScanTest, RefusedScanningCommands) {
  struct Case {
    const char* what;
    std::function<void(DeviceBuilder&)> setup;
    std::vector<std::pair<Bytes, Bytes>> before;  // commands and their data
    Bytes cdb;
    Bytes data;
    size_t in;
    uint8_t key, asc, ascq;
  };
  const Bytes front = WindowList(0x00, 300, 1200, 2400, 24);
  const Bytes set = Cdb10(0x24, 0, 72);
  auto nothing = [](DeviceBuilder&) {};
  Bytes bad_header = front;
  bad_header[7] = 0x30;
  Bytes no_resolution = front;
  no_resolution[10] = no_resolution[11] = 0;
  const Case cases[] = {
      {"no paper", [](DeviceBuilder& d) { d.NoPaper(); }, {{set, front}}, kScan, {}, 0, 3, 0x3A, 0},
      {"no window", nothing, {}, kScan, {}, 0, 5, 0x2C, 0},
      {"reading before SCAN", nothing, {{set, front}}, ReadImage(0, 900), {}, 900, 5, 0x2C, 0},
      {"reading a side without a window", nothing, {{set, front}, {kScan, {}}}, ReadImage(0x80, 900), {}, 900, 5, 0x2C, 0},
      {"a qualifier no side has", nothing, {{set, front}, {kScan, {}}}, Cdb10At(0x28, 0, 900, 0, 1, 0x80), {}, 900, 5,
       0x24, 0},
      {"the back of a one-sided scanner", [](DeviceBuilder& d) { d.OneSided(); }, {}, set,
       WindowList(0x80, 300, 1200, 2400, 24), 0, 5, 0x2C, 0x81},
      {"the back geometry of a one-sided scanner", [](DeviceBuilder& d) { d.OneSided(); }, {},
       Cdb10At(0x28, 0x80, 16, 0, 0, 0x80), {}, 16, 5, 0x2C, 0x81},
      {"a window list of another length", nothing, {}, Cdb10(0x24, 0, 64), Bytes(64, 0), 0, 5, 0x24, 0},
      {"a descriptor of another length", nothing, {}, set, bad_header, 0, 5, 0x26, 0},
      {"a window without resolution", nothing, {}, set, no_resolution, 0, 5, 0x26, 0},
      {"buffer status of another length", nothing, {}, {0x34, 0, 0, 0, 0, 0, 0, 0, 10, 0}, {}, 10, 5, 0x24, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeviceBuilder builder("d");
    builder.Product("DE-T4783Z");
    c.setup(builder);
    EmulatedDevice device(builder.Build());
    for (const auto& [cdb, data] : c.before) EXPECT_EQ(Exec(device, cdb, 0, data).result.outcome, Outcome::kGood);
    const Answer answer = Exec(device, c.cdb, c.in, c.data);
    EXPECT_EQ(answer.result.outcome, Outcome::kCheckCondition);
    EXPECT_EQ(Bytes(answer.result.sense.begin(), answer.result.sense.begin() + 14), SenseBytes(c.key, c.asc, c.ascq));
  }
}

}  // namespace
