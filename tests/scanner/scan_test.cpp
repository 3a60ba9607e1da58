// A scan through the command layer: window, start and wait with the message pump,
// geometry and image data; and the flash, memory module, identity and mode bits.
#include <gtest/gtest.h>

#include "resources/app_resources.h"
#include "scanner/memory_commands.h"
#include "scanner/scan_commands.h"
#include "tests/scanner/scanner_fixture.h"
#include "tests/scanner/test_queue.h"

namespace scanner::testing {
namespace {

using Bytes = std::vector<uint8_t>;

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
  // The commands the scanner received, without the REQUEST SENSE the still-image
  // transport adds after a command that ended with sense data.
  std::vector<Bytes> Sent() const {
    std::vector<Bytes> cdbs;
    for (const Bytes& cdb : Cdbs()) {
      if (cdb[0] != 0x03) cdbs.push_back(cdb);
    }
    return cdbs;
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
  EXPECT_EQ(queue.Pending(), std::vector<platform::UINT>{0x0400});

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

  // None of these operations sends TEST UNIT READY first.
  const std::vector<Bytes> cdbs = Sent();
  ASSERT_EQ(cdbs.size(), 7u);
  EXPECT_EQ(cdbs[0], (Bytes{0x24, 0, 0, 0, 0, 0, 0, 0, 72, 0}));
  EXPECT_EQ(cdbs[1], (Bytes{0x1B, 0, 0, 0, 0, 0}));
  EXPECT_EQ(cdbs[2], (Bytes{0x34, 0, 0, 0, 0, 0, 0, 0, 12, 0}));
  EXPECT_EQ(cdbs[3], (Bytes{0x28, 0, 0x80, 0, 0, 0, 0, 0, 0x10, 0}));
  for (size_t i = 4; i < 7; ++i) EXPECT_EQ(cdbs[i], (Bytes{0x28, 0, 0, 0, 0, 0, 0, 0x20, 0, 0}));
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

TEST_F(ScanTest, AnswersThatCountAsGoodAreNotTheEndOfTheWait) {
  Connect();
  const WindowRecord window = Window();
  ASSERT_EQ(SetWindow(0, 0, &window), 1);
  const emulator::Sense no_sense{0, 0, 0};
  // The first SCAN answers with sense key 0: good, so it is repeated after a TEST UNIT
  // READY. Then one poll finds nothing filled yet and one answers with sense key 0.
  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0x1B), no_sense));
  scanner_->AddFault(emulator::ZeroAnswerFault(emulator::CommandMatch::Opcode(0x34)));
  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0x34), no_sense));
  scanner_->ClearLog();
  const auto before = platform::GetTickCount();
  int retry = 7;
  ASSERT_EQ(ScanAndWaitPumping(0, 0, retry), 1);
  EXPECT_EQ(retry, 0);
  std::vector<uint8_t> opcodes;
  for (const Bytes& cdb : Sent()) opcodes.push_back(cdb[0]);
  EXPECT_EQ(opcodes, (std::vector<uint8_t>{0x1B, 0x00, 0x1B, 0x34, 0x34, 0x34}));
  // A pause of 11 to 20 ms before the repeated SCAN and after each poll without data.
  const auto waited = platform::GetTickCount() - before;
  EXPECT_GE(waited, 33u);
  EXPECT_LE(waited, 60u);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(ScanTest, AScannerThatNeverFinishesEndsTheWaitAfterAMinute) {
  struct Case {
    const char* name;
    emulator::CommandFault fault;
    std::vector<platform::UINT> dispatched;  // only the buffer wait pumps
  } const cases[] = {
      {"the buffer never fills", emulator::ZeroAnswerFault(emulator::CommandMatch::Opcode(0x34), emulator::kAlways),
       {0x0200}},
      {"the scan never starts",
       emulator::SenseFault(emulator::CommandMatch::Opcode(0x1B), {0, 0, 0}, emulator::kAlways), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Connect();
    prompter_.Clear();
    const WindowRecord window = Window();
    ASSERT_EQ(SetWindow(0, 0, &window), 1);
    ASSERT_EQ(device::LockScanner(1, 0), 0);
    scanner_->AddFault(c.fault);
    TestQueue queue;
    queue.PostAt(platform::GetClock().Now() + 30000, 0x0200);
    const auto before = platform::GetTickCount();
    int retry = 7;
    EXPECT_EQ(ScanAndWaitPumping(0, 0, retry), 0);
    EXPECT_EQ(retry, 0);
    const auto waited = platform::GetTickCount() - before;
    EXPECT_GE(waited, 60000u);
    EXPECT_LE(waited, 60020u);
    EXPECT_FALSE(scanner_->Locks().locked);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{resources::LoadString(5076) +
                                                   "\n\nScanner request failed! \r\nError code=104"});
    EXPECT_EQ(queue.dispatched, c.dispatched);
    TearDown();
    SetUp();
  }
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
