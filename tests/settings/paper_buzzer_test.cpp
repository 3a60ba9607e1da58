#include <gtest/gtest.h>

#include "emulator/device_builder.h"
#include "settings/paper_buzzer_dlg.h"
#include "settings/setting_commands.h"
#include "tests/settings/settings_fixture.h"

namespace settings {
namespace {

using testing::Sent;
using testing::SettingsTest;
namespace ui = platform::ui;

class PaperBuzzerTest : public SettingsTest {};

TEST_F(PaperBuzzerTest, LetterIsShownAndWrittenBackWithTheSelector) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) { d.PaperMode(0).Buzzer(1); });
  context_.paper_mode = 1;
  actions_.Once<CDlgSetPaperSize>([&](CDlgSetPaperSize& d) {
    Shot(d, "paper-mode-buzzer");
    EXPECT_FALSE(Checked(d, kIdcA4));
    EXPECT_TRUE(Checked(d, kIdcLetter));
    EXPECT_TRUE(Checked(d, kIdcBuzzerOn));
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(RunPaperBuzzer(context_, nullptr), SettingOutcome::kWritten);
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE0, 0x8A, 2, {}},
                                          {0xE0, 0xA1, 2, {}},
                                          {0xE1, 0x8A, 2, {0, 2}},
                                          {0xE1, 0xA1, 2, {1, 0}}}));
  EXPECT_EQ(context_.paper_mode, 0);
  EXPECT_EQ(context_.buzzer, 1);
}

TEST_F(PaperBuzzerTest, ChangedChoicesReachScannerAndContext) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) { d.PaperMode(0).Buzzer(1); });
  actions_.Once<CDlgSetPaperSize>([&](CDlgSetPaperSize& d) {
    ui::Click(d.GetDlgItem(kIdcA4));
    ui::Click(d.GetDlgItem(kIdcBuzzerOff));
    EXPECT_FALSE(Checked(d, kIdcLetter));  // each pair is a group of its own
    EXPECT_FALSE(Checked(d, kIdcBuzzerOn));
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  RunPaperBuzzer(context_, nullptr);
  EXPECT_EQ(Writes(), (std::vector<Sent>{{0xE1, 0x8A, 2, {1, 2}}, {0xE1, 0xA1, 2, {0, 0}}}));
  EXPECT_EQ(context_.paper_mode, 1);
  EXPECT_EQ(context_.buzzer, 0);
}

TEST_F(PaperBuzzerTest, ModelsWithoutPaperModeOfferTheBuzzerOnly) {
  Connect("DE-T2723Z", [](emulator::DeviceBuilder& d) { d.Buzzer(0); });  // model 13
  actions_.Once<CUDlgSetBuzzerSetting>([&](CUDlgSetBuzzerSetting& d) {
    Shot(d, "buzzer-setting");
    EXPECT_TRUE(Checked(d, kIdcBuzzerOff));
    ui::Click(d.GetDlgItem(kIdcBuzzerOn));
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(RunPaperBuzzer(context_, nullptr), SettingOutcome::kWritten);
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE0, 0xA1, 2, {}}, {0xE1, 0xA1, 2, {1, 0}}}));
  EXPECT_EQ(context_.buzzer, 1);
}

TEST_F(PaperBuzzerTest, CancelWritesNothing) {
  Connect("DE-T2713Z");
  const uint8_t paper = context_.paper_mode, buzzer = context_.buzzer;
  actions_.Once<CDlgSetPaperSize>([](CDlgSetPaperSize& d) {
    ui::Click(d.GetDlgItem(kIdcA4));
    ui::Click(d.GetDlgItem(ui::IDCANCEL));
  });
  EXPECT_EQ(RunPaperBuzzer(context_, nullptr), SettingOutcome::kCancelled);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(context_.paper_mode, paper);
  EXPECT_EQ(context_.buzzer, buzzer);
}

TEST_F(PaperBuzzerTest, AFailedBuzzerWriteKeepsTheNewPaperModeAndTheOldBuzzer) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) {
    d.PaperMode(1).Buzzer(1).Fault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE1, 0xA1)));
  });
  context_.buzzer = 1;
  actions_.Once<CDlgSetPaperSize>([](CDlgSetPaperSize& d) {
    ui::Click(d.GetDlgItem(kIdcLetter));
    ui::Click(d.GetDlgItem(kIdcBuzzerOff));
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(RunPaperBuzzer(context_, nullptr), SettingOutcome::kFailed);
  EXPECT_EQ(scanner_->State().paper_mode, 0);
  EXPECT_EQ(scanner_->State().buzzer, 1);
  EXPECT_EQ(context_.paper_mode, 0);
  EXPECT_EQ(context_.buzzer, 1);
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

TEST_F(PaperBuzzerTest, AFailedReadShowsNoDialog) {
  Connect("DE-T2713Z");
  // After identification, which reads the buzzer too.
  scanner_->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE0, 0xA1)));
  actions_.Once<CDlgSetPaperSize>([](CDlgSetPaperSize&) { ADD_FAILURE() << "dialog shown"; });
  EXPECT_EQ(RunPaperBuzzer(context_, nullptr), SettingOutcome::kFailed);
  EXPECT_TRUE(Writes().empty());
}

}  // namespace
}  // namespace settings
