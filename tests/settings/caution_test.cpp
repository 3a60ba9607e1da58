#include "settings/caution_dlg.h"

#include <gtest/gtest.h>

#include "scanner/identify.h"
#include "tests/settings/settings_fixture.h"
#include "settings/counter_record.h"

namespace settings {
namespace {

using testing::SettingsTest;
namespace ui = platform::ui;

constexpr int kCleanEdit = 1081, kCleanSpin = 1082, kRangeText = 1336;

class CautionTest : public SettingsTest {
 protected:
  void ConnectWith(const char* product, uint32_t clean, uint32_t replace, uint32_t paper_feed) {
    Connect(product, [&](emulator::DeviceBuilder& d) { d.Thresholds(clean, replace, paper_feed).RollerCounts(10, 20, 30); });
    ASSERT_TRUE(record_.BindAndRead(context_, 1));
    scanner_->ClearLog();
  }
  // The dialog filled from the record, as the window fills it.
  int Show(const std::function<void(CUDlgWarning&)>& action) {
    actions_.Once<CUDlgWarning>(action);
    CUDlgWarning dialog(context_);
    dialog.clean_timing = record_.clean_caution;
    dialog.replace_timing = record_.replace_caution;
    dialog.paper_feed_timing = record_.paper_feed_caution;
    const int answer = static_cast<int>(dialog.DoModal());
    if (answer == ui::IDOK) record_.WriteThresholds(dialog.clean_timing, dialog.replace_timing, dialog.paper_feed_timing);
    return answer;
  }
  static void Spin(CUDlgWarning& d, int direction) { ui::Spin(d.GetDlgItem(kCleanSpin), direction); }

  settings::CCounterRecord record_;
};

TEST_F(CautionTest, GroupAShowsOnlyTheCleanRowAndItsRange) {
  ConnectWith("DE-T2713Z", 10000, 200000, 0);
  EXPECT_EQ(Show([&](CUDlgWarning& d) {
              Shot(d, "caution-setting");
              EXPECT_TRUE(Visible(d, kCleanEdit));
              for (int id : {1080, 1083, 1084, 1085, 1086, 1087}) EXPECT_FALSE(Visible(d, id)) << id;
              EXPECT_EQ(d.GetDlgItemText(kRangeText), "5000 - 20000");
              EXPECT_EQ(d.GetDlgItemText(kCleanEdit), "10000");
              ui::Type(d.GetDlgItem(kCleanEdit), "4999");
              ui::Click(d.GetDlgItem(ui::IDOK));
              EXPECT_TRUE(d.IsOpen());
              ui::Type(d.GetDlgItem(kCleanEdit), "5100");
              Spin(d, -1);
              EXPECT_EQ(d.GetDlgItemText(kCleanEdit), "5000");
              Spin(d, -1);
              EXPECT_EQ(d.GetDlgItemText(kCleanEdit), "5000");
              ui::Type(d.GetDlgItem(kCleanEdit), "19950");
              Spin(d, 1);
              EXPECT_EQ(d.GetDlgItemText(kCleanEdit), "20000");
              ui::Click(d.GetDlgItem(ui::IDOK));
            }),
            ui::IDOK);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text, "Please enter an integer between 5000 and 20000.");
  // 8 bytes: clean and replace, no paper-feed value.
  EXPECT_EQ(Writes(), (std::vector<testing::Sent>{{0xE1, 0x9D, 8, {0, 0, 0x4E, 0x20, 0, 0x03, 0x0D, 0x40}}}));
  EXPECT_EQ(record_.clean_caution, 20000u);
}

TEST_F(CautionTest, GroupBSpinsDownToOneAndSendsTwelveBytes) {
  ConnectWith("DE-T4783Z", 100, 200000, 0);
  Show([&](CUDlgWarning& d) {
    EXPECT_EQ(d.GetDlgItemText(kRangeText), "1 - 2000");
    Spin(d, -1);
    EXPECT_EQ(d.GetDlgItemText(kCleanEdit), "1");
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  // The unchanged replace and paper-feed thresholds go along.
  EXPECT_EQ(Writes(),
            (std::vector<testing::Sent>{{0xE1, 0x9D, 12, {0, 0, 0, 1, 0, 0x03, 0x0D, 0x40, 0, 0, 0, 0}}}));
  EXPECT_EQ(scanner_->State().counters.clean_threshold, 1u);
}

TEST_F(CautionTest, CancelSendsNothingAndAHiddenFieldOutOfRangeBlocksOk) {
  ConnectWith("DE-T4713Z", 3000, 4000, 0);  // group C; the replace threshold below its 5000
  EXPECT_EQ(Show([&](CUDlgWarning& d) {
              EXPECT_EQ(d.GetDlgItemText(kRangeText), "1 - 6000");
              ui::Click(d.GetDlgItem(ui::IDOK));
              EXPECT_TRUE(d.IsOpen());
              ui::Click(d.GetDlgItem(ui::IDCANCEL));
            }),
            ui::IDCANCEL);
  EXPECT_TRUE(Writes().empty());
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text, "Please enter an integer between 5000 and 1000000.");
}

TEST_F(CautionTest, LimitsByGroup) {
  struct Case {
    uint8_t code;
    unsigned min, max;
    bool twelve;
  } const cases[] = {{12, 5000, 20000, false}, {32, 5000, 20000, false}, {37, 1, 2000, true},
                     {43, 1, 6000, true},      {5, 1000, 20000, false},  {33, 1000, 20000, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(CleanRollerLimitsFor(c.code).minimum, c.min) << int(c.code);
    EXPECT_EQ(CleanRollerLimitsFor(c.code).maximum, c.max) << int(c.code);
    EXPECT_EQ(WritesPaperFeedThreshold(c.code), c.twelve) << int(c.code);
  }
}

}  // namespace
}  // namespace settings
