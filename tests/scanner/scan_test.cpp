// A scan through the command layer: window, start and wait with the message pump,
// geometry and image data; and the flash, memory module, identity and mode bits.
#include <gtest/gtest.h>

#include <deque>

#include "platform/message_pump.h"
#include "scanner/memory_commands.h"
#include "scanner/scan_commands.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// A message queue that hands out what a test put in and records what was dispatched.
class TestQueue : public platform::MessageQueue {
 public:
  TestQueue() { platform::SetMessageQueue(this); }
  ~TestQueue() override { platform::SetMessageQueue(nullptr); }
  void Post(platform::UINT message) { pending.push_back(message); }
  bool Peek(platform::MSG& msg, platform::UINT min, platform::UINT max, bool remove) override {
    for (auto it = pending.begin(); it != pending.end(); ++it) {
      if (*it < min || *it > max) continue;
      msg = {};
      msg.message = *it;
      if (remove) pending.erase(it);
      return true;
    }
    return false;
  }
  void Translate(const platform::MSG& msg) override { translated.push_back(msg.message); }
  void Dispatch(const platform::MSG& msg) override { dispatched.push_back(msg.message); }

  std::deque<platform::UINT> pending;
  std::vector<platform::UINT> translated, dispatched;
};

class ScanTest : public ScannerTest {
 protected:
  void Connect(bool paper = true) {
    emulator::BusBuilder builder;
    emulator::DeviceBuilder& device = builder.Device("S").Product("DE-T4783Z").OnStiUsb();
    if (!paper) device.NoPaper();
    Attach(builder);
    ASSERT_EQ(Identify(), 1);
    scanner_->ClearLog();
  }
  // 200 dpi, one inch by half an inch, 8 bits: 200 pixels, 100 lines.
  static WindowRecord Window() {
    WindowRecord w;
    w.x_resolution = w.y_resolution = 200;
    w.width = 1200;
    w.length = 600;
    w.bits_per_pixel = 8;
    w.image_composition = 2;
    return w;
  }
};

TEST_F(ScanTest, AWholePageInChunks) {
  Connect();
  TestQueue queue;
  queue.Post(0x0200);
  queue.Post(0x00A4);  // dropped, not dispatched
  queue.Post(0x0400);  // outside the range: stays
  const WindowRecord window = Window();
  ASSERT_EQ(SetWindow(0, 0, &window), 1);
  int retry = 7;
  ASSERT_EQ(ScanAndWaitPumping(0, 0, retry), 1);
  EXPECT_EQ(retry, 0);
  EXPECT_EQ(queue.dispatched, std::vector<platform::UINT>{0x0200});
  EXPECT_EQ(queue.translated, std::vector<platform::UINT>{0x0200});
  EXPECT_EQ(queue.pending, std::deque<platform::UINT>{0x0400});

  uint32_t pixels = 0, lines = 0;
  ASSERT_EQ(ReadImageInfo(0, 0, 0x00, pixels, lines), 1);
  EXPECT_EQ(pixels, 200u);
  EXPECT_EQ(lines, 100u);

  std::vector<uint8_t> chunk(8192);
  uint32_t total = 0;
  device::SenseRecord sense;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(ReadImageData(0, 0, 0x00, chunk.data(), 8192), 1);
    sense = device::GetLastSense();
    total += 8192 - (sense.end_of_medium ? sense.information : 0);
    if (sense.end_of_medium) break;
  }
  EXPECT_TRUE(sense.end_of_medium);
  EXPECT_TRUE(sense.incorrect_length);
  EXPECT_EQ(total, 20000u);
  EXPECT_EQ(chunk[0], 0xFF);
  EXPECT_TRUE(prompter_.boxes().empty());

  std::vector<Bytes> cdbs;
  for (const auto& e : Exchanges()) cdbs.push_back(e.Cdb());
  EXPECT_EQ(cdbs.at(0), (Bytes{0x24, 0, 0, 0, 0, 0, 0, 0, 72, 0}));
  EXPECT_EQ(cdbs.at(1), (Bytes{0x1B, 0, 0, 0, 0, 0}));
  EXPECT_EQ(cdbs.at(2), (Bytes{0x34, 0, 0, 0, 0, 0, 0, 0, 12, 0}));
}

TEST_F(ScanTest, NoPaperAsksWhetherToRetry) {
  Connect(false);
  const WindowRecord window = Window();
  ASSERT_EQ(SetWindow(0, 0, &window), 1);
  prompter_.Answer(platform::IDOK);
  int retry = 0;
  EXPECT_EQ(ScanAndWaitPumping(0, 0, retry), 0);
  EXPECT_EQ(retry, 1);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].type, platform::MB_OKCANCEL | platform::MB_ICONQUESTION);

  prompter_.Answer(platform::IDCANCEL);
  EXPECT_EQ(ScanAndWaitPumping(0, 0, retry), 0);
  EXPECT_EQ(retry, 0);
}

TEST_F(ScanTest, WaitingPollsUntilDataIsThere) {
  Connect();
  const WindowRecord window = Window();
  ASSERT_EQ(SetWindow(0, 0, &window), 1);
  // The first two buffer polls find nothing filled yet.
  scanner_->AddFault(emulator::ShortAnswerFault(emulator::CommandMatch::Opcode(0x34), 9, 2));
  const auto before = platform::GetTickCount();
  int retry = 0;
  ASSERT_EQ(ScanAndWaitPumping(0, 0, retry), 1);
  size_t polls = 0;
  for (const auto& e : Exchanges()) polls += e.Cdb()[0] == 0x34;
  EXPECT_EQ(polls, 3u);
  const auto waited = platform::GetTickCount() - before;
  EXPECT_GE(waited, 22u);
  EXPECT_LE(waited, 40u);
}

TEST_F(ScanTest, FlashMemoryModuleIdentityAndModeBits) {
  Connect();
  Bytes data(512);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  const uint32_t flash = scanner_->Profile().flash_base;
  ASSERT_EQ(WriteFlashBlock(0, 0, flash + 0x100, data.data(), 512), 1);
  Bytes back(512);
  ASSERT_EQ(ReadFlashBlock(0, 0, flash + 0x100, back.data(), 512), 1);
  EXPECT_EQ(back, data);
  EXPECT_EQ(Exchanges().back().Cdb(),
            (Bytes{0xE0, 0, 0x96, uint8_t(flash >> 16), uint8_t((flash >> 8) + 1), 0, 0, 0x02, 0, 0}));
  EXPECT_EQ(ReadFlashBlock(0, 0, flash + 0x3FFFF, back.data(), 512), 0);  // past the area
  EXPECT_EQ(prompter_.boxes().size(), 1u);

  char text[17];
  scanner_->EditState([](emulator::ScannerState& s) { s.identity_text = "0123456789ABCDEF"; });
  ASSERT_EQ(ReadIdentityText(0, 0, text, true), 1);
  EXPECT_STREQ(text, "0123456789ABCDEF");

  scanner_->ClearLog();
  ASSERT_EQ(SetModeBits(0, 0, true), 1);
  EXPECT_EQ(Exchanges().back().Cdb(), (Bytes{0xE1, 0, 0xB1, 0, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(scanner_->State().mode_bits, 1u);
}

TEST_F(ScanTest, MemoryModuleBlocksByQualifier) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2723Z").OnAspi(0, 2).Edit([](emulator::ScannerState& s) {
    s.spd_front.fill(0x11);
    s.spd_back.fill(0x22);
  });
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  uint8_t block[kSpdBlockLength];
  ASSERT_EQ(ReadSpdBlock(0, 2, false, block), 1);
  EXPECT_EQ(block[2], 0x11);
  ASSERT_EQ(ReadSpdBlock(0, 2, true, block), 1);
  EXPECT_EQ(block[2], 0x22);
}

}  // namespace
}  // namespace scanner::testing
