#include <gtest/gtest.h>

#include "emulator/device_builder.h"
#include "platform/ui/data_exchange.h"
#include "settings/setting_commands.h"
#include "settings/sleep_mode_dlg.h"
#include "settings/sleep_mode_ids.h"
#include "tests/settings/settings_fixture.h"

namespace settings {
namespace {

using namespace sleep_ids;
using testing::Sent;
using testing::SettingsTest;
namespace ui = platform::ui;

class SleepModeTest : public SettingsTest {
 protected:
  SettingOutcome Run(const std::function<void(CDlgSleepMode&)>& action) {
    actions_.Once<CDlgSleepMode>(action);
    return RunSleepMode(context_, nullptr);
  }
};

TEST_F(SleepModeTest, AllThreeTimersGoOutInTheLongFormAndToTheFlatbed) {
  // Model 4 can switch its sleep timer off.
  Connect("DE-T9781", [](emulator::DeviceBuilder& d) { d.Sleep(20, 45).FlatbedAttached().PowerOffCapability(); });
  ASSERT_TRUE(context_.power_off);
  scanner_->EditState([](emulator::ScannerState& s) { s.flatbed.sleep_minutes = 7; });
  scanner_->ClearLog();
  EXPECT_EQ(Run([&](CDlgSleepMode& d) {
              Shot(d, "sleep-mode-all-groups");
              for (int id : {kSleepGroup, kSleepDisable, kSleepEdit, kPowerOffGroup, kPowerOffDisable, kPowerOffEdit,
                             kFlatbedGroup, kFlatbedEdit})
                EXPECT_TRUE(Visible(d, id)) << id;
              EXPECT_EQ(d.GetDlgItemText(kSleepEdit), "20");
              EXPECT_EQ(d.GetDlgItemText(kPowerOffEdit), "45");
              EXPECT_EQ(d.GetDlgItemText(kFlatbedEdit), "7");
              ui::Type(d.GetDlgItem(kSleepEdit), "33");
              ui::Click(d.GetDlgItem(kPowerOffDisable));
              EXPECT_FALSE(Enabled(d, kPowerOffEdit));
              ui::Spin(d.GetDlgItem(kFlatbedSpin), 1);
              ui::Click(d.GetDlgItem(ui::IDOK));
            }),
            SettingOutcome::kWritten);
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE0, 0x9E, 4, {}},
                                          {0xE8, 0x01, 2, {}},
                                          {0xE1, 0x9F, 4, {0, 33, 0, 0}},
                                          {0xE9, 0x02, 2, {0, 8}}}));
  EXPECT_EQ(scanner_->State().sleep.sleep_minutes, 33);
  EXPECT_EQ(scanner_->State().sleep.power_off_minutes, 0);
  EXPECT_EQ(scanner_->State().flatbed.sleep_minutes, 8);
}

TEST_F(SleepModeTest, WithoutPowerOffAndFlatbedTheDialogClosesUp) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) { d.Sleep(25); });
  ASSERT_FALSE(context_.power_off);
  ASSERT_FALSE(context_.flatbed_connected);
  Run([&](CDlgSleepMode& d) {
    Shot(d, "sleep-mode-sleep-only");
    for (int id : {kPowerOffGroup, kPowerOffDisable, kPowerOffEdit, kFlatbedGroup, kFlatbedEdit, kSleepDisable})
      EXPECT_FALSE(Visible(d, id)) << id;
    EXPECT_FALSE(Enabled(d, kFlatbedEdit));
    // Both groups' room is gone: the buttons keep the template's 10 units (16 pixels) below
    // the last group, and the bottom margin equals the top one.
    const ui::CRect sleep = ControlRect(d, kSleepGroup), ok = ControlRect(d, ui::IDOK);
    EXPECT_EQ(ok.top - sleep.bottom, 16);
    EXPECT_EQ(ClientRect(d).bottom - ok.bottom, sleep.top);
    EXPECT_EQ(ControlRect(d, ui::IDCANCEL).top, ok.top);
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE0, 0x9E, 2, {}}, {0xE1, 0x9F, 2, {0, 25}}}));
}

TEST_F(SleepModeTest, ZeroMinutesShowsDisabledOnlyWhereTheModelCanSwitchOff) {
  struct Case {
    const char* product;
    bool box_shown;
    std::vector<uint8_t> written;
  } const cases[] = {
      {"DE-T9793", true, {0, 0}},    // model 1
      {"DE-T9781", true, {0, 0}},    // model 4
      {"DE-T2713Z", false, {0, 15}},  // model 12: 0 reads as on with 15 minutes
      {"DE-T4793Z", false, {0, 15}},  // model 37
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    Connect(c.product, [](emulator::DeviceBuilder& d) { d.Sleep(0).PowerOffCapability(false); });
    Run([&](CDlgSleepMode& d) {
      EXPECT_EQ(Visible(d, kSleepDisable), c.box_shown);
      EXPECT_EQ(Checked(d, kSleepDisable), c.box_shown);
      EXPECT_EQ(Enabled(d, kSleepEdit), !c.box_shown);
      EXPECT_EQ(d.GetDlgItemText(kSleepEdit), "15");
      ui::Click(d.GetDlgItem(ui::IDOK));
    });
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].data, c.written);
    TearDown();
    SetUp();
  }
}

TEST_F(SleepModeTest, OutOfRangeValuesKeepTheDialogOpen) {
  struct Case {
    const char* product;
    int edit;
    const char* typed;
    const char* message;
  } const cases[] = {
      {"DE-T4793Z", kSleepEdit, "14", "Please enter an integer between 15 and 60."},  // 37 to 39 refuse below 15
      {"DE-T4783Z", kSleepEdit, "61", "Please enter an integer between 15 and 60."},
      {"DE-T2713Z", kSleepEdit, "0", "Please enter an integer between 1 and 60."},
      {"DE-T2713Z", kSleepEdit, "x", "Please enter an integer."},
      // Hidden groups are validated as well.
      {"DE-T2713Z", kFlatbedEdit, "61", "Please enter an integer between 1 and 60."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.product) + " " + c.typed);
    Connect(c.product);
    bool open_after_ok = false;
    Run([&](CDlgSleepMode& d) {
      d.GetDlgItem(c.edit)->SetWindowText(c.typed);
      ui::Click(d.GetDlgItem(ui::IDOK));
      open_after_ok = d.IsOpen();
      ui::Click(d.GetDlgItem(ui::IDCANCEL));
    });
    EXPECT_TRUE(open_after_ok);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(Writes().empty());
    TearDown();
    SetUp();
  }
}

TEST_F(SleepModeTest, ModelThirtySevenTakesFifteen) {
  Connect("DE-T4793Z");
  Run([&](CDlgSleepMode& d) {
    int low = 0, high = 0;
    static_cast<ui::CSpinButtonCtrl*>(d.GetDlgItem(kSleepSpin))->GetRange(low, high);
    EXPECT_EQ(low, 15);
    EXPECT_EQ(high, 60);
    static_cast<ui::CSpinButtonCtrl*>(d.GetDlgItem(kFlatbedSpin))->GetRange(low, high);
    EXPECT_EQ(low, 1);
    ui::Type(d.GetDlgItem(kSleepEdit), "15");
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  ASSERT_EQ(Writes().size(), 1u);
  EXPECT_EQ(Writes()[0].data, (std::vector<uint8_t>{0, 15}));
}

TEST_F(SleepModeTest, CancelSendsNothing) {
  Connect("DE-T4713Z", [](emulator::DeviceBuilder& d) { d.FlatbedAttached(); });
  EXPECT_EQ(Run([](CDlgSleepMode& d) { ui::Click(d.GetDlgItem(ui::IDCANCEL)); }), SettingOutcome::kCancelled);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Settings().size(), 2u);  // the two reads
}

TEST_F(SleepModeTest, TheFlatbedUnitAloneExchangesOnlyItsOwnTime) {
  Connect("DE-TT767");
  ASSERT_EQ(context_.model_code, 44);
  ASSERT_FALSE(context_.flatbed_connected);  // the unit is the device itself
  Run([&](CDlgSleepMode& d) {
    Shot(d, "sleep-mode-flatbed-unit");
    EXPECT_TRUE(Visible(d, kSleepGroup));
    for (int id : {kSleepDisable, kSleepLabel, kSleepEdit, kSleepSpin, kSleepUnit}) EXPECT_FALSE(Visible(d, id)) << id;
    EXPECT_TRUE(Visible(d, kFlatbedEdit));
    ui::Type(d.GetDlgItem(kFlatbedEdit), "12");
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE8, 0x01, 2, {}}, {0xE9, 0x02, 2, {0, 12}}}));
}

TEST_F(SleepModeTest, AFailedReadShowsNoDialog) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) {
    d.Fault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE0, 0x9E)));
  });
  EXPECT_EQ(Run([](CDlgSleepMode&) { ADD_FAILURE() << "dialog shown"; }), SettingOutcome::kFailed);
  EXPECT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_TRUE(Writes().empty());
}

TEST_F(SleepModeTest, AFailedFlatbedReadShowsFourMinutes) {
  Connect("DE-T4713Z", [](emulator::DeviceBuilder& d) {
    d.FlatbedAttached().Fault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE8, 0x01)));
  });
  std::string shown;
  Run([&](CDlgSleepMode& d) {
    shown = d.GetDlgItemText(kFlatbedEdit);
    ui::Click(d.GetDlgItem(ui::IDCANCEL));
  });
  EXPECT_EQ(shown, "4");
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

TEST_F(SleepModeTest, DisablingWithABadNumberResetsIt) {
  Connect("DE-T9793", [](emulator::DeviceBuilder& d) { d.PowerOffCapability(); });
  Run([&](CDlgSleepMode& d) {
    d.GetDlgItem(kSleepEdit)->SetWindowText("99");
    ui::Click(d.GetDlgItem(kSleepDisable));
    EXPECT_TRUE(Checked(d, kSleepDisable));
    EXPECT_EQ(d.GetDlgItemText(kSleepEdit), "15");
    EXPECT_FALSE(Enabled(d, kSleepEdit));
    EXPECT_TRUE(Enabled(d, kPowerOffEdit));
    ui::Click(d.GetDlgItem(kSleepDisable));
    EXPECT_TRUE(Enabled(d, kSleepEdit));
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Please enter an integer between 1 and 60."});
  ASSERT_EQ(Writes().size(), 1u);
  EXPECT_EQ(Writes()[0].data, (std::vector<uint8_t>{0, 15, 0, 30}));
}

}  // namespace
}  // namespace settings
