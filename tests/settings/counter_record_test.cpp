#include "settings/counter_record.h"

#include <gtest/gtest.h>

#include "resources/app_resources.h"
#include "tests/scanner/scanner_fixture.h"

namespace settings {
namespace {

using scanner::testing::ScannerTest;

class CounterRecordTest : public ScannerTest {
 protected:
  void ConnectWith(const char* product, uint32_t clean, uint32_t replace, uint32_t paper_feed, uint32_t feed_threshold) {
    Connect(product, [&](emulator::DeviceBuilder& d) {
      d.SystemCounts(5000, 70).RollerCounts(clean, replace, paper_feed).Thresholds(1000, 2000, feed_threshold);
    });
  }
  std::vector<std::vector<uint8_t>> Reads() const {
    std::vector<std::vector<uint8_t>> cdbs;
    for (const auto& e : Exchanges()) cdbs.push_back(e.Cdb());
    return cdbs;
  }
  CCounterRecord record_;
};

TEST_F(CounterRecordTest, FormsByModel) {
  struct Case {
    const char* product;
    uint8_t system_length;
    uint8_t roller_length;  // 0: not read
    uint32_t flatbed;
  } const cases[] = {
      {"DE-T2713Z", 20, 16, 70}, {"DE-T2723Z", 20, 16, 70}, {"DE-T8713ZP", 14, 16, 0},
      {"DE-T5473Z", 14, 0, 0},   {"DE-T4793Z", 14, 24, 0},  {"DE-T9786Z", 14, 16, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.product);
    ConnectWith(c.product, 10, 20, 30, 40);
    ASSERT_TRUE(record_.BindAndRead(context_, 0));
    std::vector<std::vector<uint8_t>> expected = {{0xE0, 0, 0x86, 0, 0, 0, 0, 0, c.system_length, 0}};
    if (c.roller_length) expected.push_back({0xE0, 0, 0x9C, 0, 0, 0, 0, 0, c.roller_length, 0});
    EXPECT_EQ(Reads(), expected);
    EXPECT_EQ(record_.system, 5000u);
    EXPECT_EQ(record_.flatbed, c.flatbed);
    if (c.roller_length) {
      EXPECT_EQ(record_.after_replace, 20u);
    }
    EXPECT_TRUE(prompter_.boxes().empty());
    record_ = {};
    TearDown();
    SetUp();
  }
}

TEST_F(CounterRecordTest, NotConnectedReadsNothing) {
  ConnectWith("DE-T4783Z", 1, 2, 3, 4);
  context_.connected = false;
  record_.system = 9;
  EXPECT_FALSE(record_.BindAndRead(context_, 0));
  EXPECT_TRUE(Exchanges().empty());
  EXPECT_EQ(record_.system, 9u);
  EXPECT_EQ(record_.SystemText(), "");
  EXPECT_EQ(record_.AfterCleanText(), "");
}

TEST_F(CounterRecordTest, CautionFlagsAndThePaperFeedRoller) {
  ConnectWith("DE-T4793Z", 1000, 1999, 3000, 3000);
  ASSERT_TRUE(record_.BindAndRead(context_, 1));
  EXPECT_EQ(record_.CautionFlags(), kCautionClean | kCautionPaperFeed);
  EXPECT_TRUE(context_.paper_feed_roller);
  EXPECT_EQ(record_.AfterCleanText(), resources::FormatString(2002, {1000, 1000}));
  TearDown();
  SetUp();
  ConnectWith("DE-T4793Z", 0, 0, 5, 0);  // no paper-feed caution: the roller is not there
  ASSERT_TRUE(record_.BindAndRead(context_, 1));
  EXPECT_FALSE(context_.paper_feed_roller);
  EXPECT_EQ(record_.CautionFlags() & kCautionPaperFeed, 0);
  TearDown();
  SetUp();
  ConnectWith("DE-T4783Z", 0, 0, 5, 0);  // 39 has no paper-feed roller row
  ASSERT_TRUE(record_.BindAndRead(context_, 1));
  EXPECT_TRUE(context_.paper_feed_roller);
  EXPECT_EQ(record_.CautionFlags() & kCautionPaperFeed, 0);
}

TEST_F(CounterRecordTest, ClearingAsksFirst) {
  ConnectWith("DE-T4793Z", 10, 20, 30, 40);
  ASSERT_TRUE(record_.BindAndRead(context_, 0));
  scanner_->ClearLog();
  prompter_.Answer(platform::IDCANCEL);
  EXPECT_FALSE(record_.Clear(Counter::kAfterReplace));
  EXPECT_TRUE(Exchanges().empty());
  EXPECT_EQ(record_.after_replace, 20u);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text, resources::LoadString(3232));  // the double-feed prevention roller
  EXPECT_EQ(prompter_.boxes()[0].type, platform::MB_OKCANCEL | platform::MB_ICONQUESTION);

  prompter_.Answer(platform::IDOK);
  EXPECT_TRUE(record_.Clear(Counter::kPaperFeed));
  EXPECT_EQ(Exchanges().back().data_out, (std::vector<uint8_t>{32, 0, 0, 0}));
  EXPECT_EQ(record_.paper_feed, 0u);
  EXPECT_EQ(scanner_->State().counters.paper_feed, 0u);

  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Command(0xE1, 0x91), {5, 0x24, 0}));
  prompter_.Answer(platform::IDOK);
  EXPECT_FALSE(record_.Clear(Counter::kAfterClean));
  EXPECT_EQ(record_.after_clean, 10u);
}

}  // namespace
}  // namespace settings
