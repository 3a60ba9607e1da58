#include "scanner/service_mode.h"

#include <gtest/gtest.h>

#include "device/device_library.h"
#include "resources/app_resources.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

using emulator::CommandMatch;

// One still-image scanner that holds its lock explicitly (lock mode 2).
class ServiceModeTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    emulator::BusBuilder builder;
    builder.Device("S").Product("DE-T4783Z").OnStiUsb().LockMode(2);
    Attach(builder);
    scanner_->ClearLog();
  }
  void TearDown() override {
    device::UnlockScanner();
    ScannerTest::TearDown();
  }
  void Reject(uint8_t opcode, int times = 1) {
    scanner_->AddFault(emulator::SenseFault(CommandMatch::Opcode(opcode), {5, 0x24, 0}, times));
  }
  std::vector<uint8_t> LastWrite() {
    for (const auto& e : Exchanges()) {
      if (e.Cdb()[0] == 0xE1) return e.data_out;
    }
    return {};
  }
};

TEST_F(ServiceModeTest, ThePrepareModeNeverLocksAndIsNeverJudged) {
  Reject(0xE1);
  const auto locks = scanner_->Locks().lock_calls;
  EXPECT_EQ(SetServiceMode(0, 0, kPrepareMode, true), 1);
  EXPECT_TRUE(prompter_.boxes().empty());
  EXPECT_FALSE(scanner_->Locks().locked);
  EXPECT_EQ(scanner_->Locks().lock_calls, locks + 2);  // TEST UNIT READY and the write lock for themselves
  EXPECT_EQ(LastWrite(), (std::vector<uint8_t>{0x85, 0x00}));
}

TEST_F(ServiceModeTest, StartingAModeHoldsTheLockUntilItEnds) {
  EXPECT_EQ(SetServiceMode(0, 0, 1, true, 0x22, true), 1);
  EXPECT_TRUE(scanner_->Locks().locked);
  EXPECT_EQ(LastWrite(), (std::vector<uint8_t>{0xC1, 0x22}));
  scanner_->ClearLog();
  EXPECT_EQ(SetServiceMode(0, 0, 1, false), 1);
  EXPECT_FALSE(scanner_->Locks().locked);
  EXPECT_EQ(LastWrite(), (std::vector<uint8_t>{0x01, 0x00}));
}

TEST_F(ServiceModeTest, ARejectedStartUnlocksAndShowsTheSense) {
  Reject(0xE1);
  EXPECT_EQ(SetServiceMode(0, 0, 1, true), 0);
  EXPECT_FALSE(scanner_->Locks().locked);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text, resources::LoadString(5051));
}

TEST_F(ServiceModeTest, SomeModesAreNeverJudged) {
  struct Case {
    uint8_t mode;
    bool start;
    int answer;
    size_t boxes;
  } const cases[] = {{9, true, 1, 0}, {12, true, 1, 0}, {0xF0, true, 1, 0}, {0xFF, false, 1, 0},
                     {6, false, 1, 0}, {11, false, 1, 0}, {6, true, 0, 1},   {2, true, 0, 1}};
  for (const Case& c : cases) {
    Reject(0xE1);
    prompter_.Clear();
    EXPECT_EQ(SetServiceMode(0, 0, c.mode, c.start), c.answer) << int(c.mode);
    EXPECT_EQ(prompter_.boxes().size(), c.boxes) << int(c.mode);
    device::UnlockScanner();
  }
}

TEST_F(ServiceModeTest, ALockHeldElsewhereIsReported) {
  scanner_->SetLockHeldElsewhere(emulator::kAlways);
  EXPECT_EQ(SetServiceMode(0, 0, 1, true), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{resources::LoadString(5117)});
  EXPECT_TRUE(Exchanges().empty() || Exchanges().back().Cdb()[0] != 0xE1);
}

TEST_F(ServiceModeTest, WaitScannerReadyTriesFourTimes) {
  Reject(0x00, 4);
  EXPECT_EQ(WaitScannerReady(0, 0, false), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Not Ready"});
  size_t sends = 0;
  for (const auto& cdb : Cdbs()) sends += cdb[0] == 0x00;
  EXPECT_EQ(sends, 4u);

  prompter_.Clear();
  Reject(0x00, 4);
  EXPECT_EQ(WaitScannerReady(0, 0, true), 0);
  EXPECT_TRUE(prompter_.boxes().empty());

  Reject(0x00, 3);
  EXPECT_EQ(WaitScannerReady(0, 0, false), 1);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(ServiceModeTest, ReportLockFailureTextsAndRetry) {
  EXPECT_EQ(ReportLockFailure(0, false), 1);
  EXPECT_EQ(ReportLockFailure(4, false), 0);
  EXPECT_EQ(ReportLockFailure(3, false), 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{resources::LoadString(5077), resources::LoadString(5117)}));
  EXPECT_EQ(prompter_.boxes()[0].type & platform::MB_TYPEMASK, platform::MB_OK);

  prompter_.Clear();
  scanner_->SetLockHeldElsewhere(1);
  prompter_.Answer(platform::IDRETRY);
  prompter_.Answer(platform::IDRETRY);
  EXPECT_EQ(ReportLockFailure(3, true), 1);  // the first retry fails, the second locks
  EXPECT_EQ(prompter_.boxes().size(), 2u);
  EXPECT_EQ(prompter_.boxes()[0].type & platform::MB_TYPEMASK, platform::MB_RETRYCANCEL);

  prompter_.Clear();
  device::UnlockScanner();
  EXPECT_EQ(ReportLockFailure(3, true), 0);  // cancelled at once
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

}  // namespace
}  // namespace scanner::testing
