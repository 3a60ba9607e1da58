// The setting commands from the main window's buttons: the status frame around them.
#include <gtest/gtest.h>

#include "emulator/device_builder.h"
#include "platform/ui/desktop.h"
#include "platform/ui/timers.h"
#include "settings/caution_dlg.h"
#include "settings/compatible_mode_dlg.h"
#include "settings/paper_buzzer_dlg.h"
#include "settings/sleep_mode_dlg.h"
#include "tests/settings/settings_fixture.h"
#include "utility/connect_scanner.h"
#include "utility/control_ids.h"
#include "utility/service_utility_dlg.h"

namespace settings {
namespace {

using testing::SettingsTest;
namespace ui = platform::ui;
namespace id = utility::id;
using utility::CServiceUtilityDlg;

class WindowCommandsTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    ui::UseVirtualTimers(true);
    ui::SetForegroundOverride(nullptr);
  }
  void TearDown() override {
    utility::SetScannerChooser(nullptr);
    ui::ClearUnattendedDialogs();
    ui::SetForegroundOverride(std::nullopt);
    ui::UseVirtualTimers(false);
    SettingsTest::TearDown();
  }

  // The window on a bus of one scanner "S", with the check inside its modal loop.
  void Run(const std::function<void(emulator::DeviceBuilder&)>& setup, const std::function<void(CServiceUtilityDlg&)>& check) {
    emulator::BusBuilder builder;
    setup(builder.Device("S"));
    Open(builder.Build());
    scanner_ = bus_->Find("S");
    actions_.Once(102, [&](ui::CDialog& d) {
      scanner_->ClearLog();
      prompter_.Clear();
      check(static_cast<CServiceUtilityDlg&>(d));
    });
    CServiceUtilityDlg dlg(0);
    dlg.DoModal();
  }

  // The intervals of the window's running timers.
  static std::vector<unsigned> Timers(CServiceUtilityDlg& d) {
    std::vector<unsigned> intervals;
    for (const ui::TimerInfo& t : ui::ActiveTimers())
      if (t.hwnd == d.GetSafeHwnd()) intervals.push_back(t.interval_ms);
    return intervals;
  }
};

TEST_F(WindowCommandsTest, SleepModeRestartsTheTimerAtOnceAfterTheDialog) {
  Run([](emulator::DeviceBuilder& s) { s.Product("DE-T4783Z").OnStiUsb().Status(0); },
      [&](CServiceUtilityDlg& d) {
        actions_.Once<CDlgSleepMode>([](CDlgSleepMode& dialog) {
          ui::Type(dialog.GetDlgItem(1087), "30");
          ui::Click(dialog.GetDlgItem(ui::IDOK));
        });
        ui::Click(d.GetDlgItem(id::kSleepMode));
        EXPECT_EQ(Timers(d), std::vector<unsigned>{10});
        EXPECT_EQ(scanner_->State().sleep.sleep_minutes, 30);
      });
}

TEST_F(WindowCommandsTest, FailuresRefreshTheStatusAndRestartAtFiveSeconds) {
  struct Case {
    const char* name;
    int button;
    uint8_t opcode, type;
  } const cases[] = {
      {"sleep read", id::kSleepMode, 0xE0, 0x9E},
      {"buzzer write", id::kPaperBuzzer, 0xE1, 0xA1},
      {"compatible write", id::kCompatibleMode, 0xE1, 0xA2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Run([](emulator::DeviceBuilder& s) { s.Product("DE-T2713Z").OnAspi(0, 2).Status(0); },
        [&](CServiceUtilityDlg& d) {
          actions_.Once<CDlgSetPaperSize>([](CDlgSetPaperSize& dialog) { ui::Click(dialog.GetDlgItem(ui::IDOK)); });
          actions_.Once<CDlgCompatibleMode>([](CDlgCompatibleMode& dialog) { ui::Click(dialog.GetDlgItem(ui::IDOK)); });
          scanner_->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Command(c.opcode, c.type)));
          ui::Click(d.GetDlgItem(c.button));
          EXPECT_EQ(Timers(d), std::vector<unsigned>{5000});
          EXPECT_EQ(prompter_.boxes().size(), 1u);
          // The refresh reads the status block after the failed command.
          bool failed_seen = false, status_after = false;
          for (const auto& e : Exchanges()) {
            const std::vector<uint8_t> cdb = e.Cdb();
            if (cdb.size() < 3) continue;
            if (cdb[0] == c.opcode && cdb[2] == c.type) failed_seen = true;
            if (failed_seen && cdb[0] == 0xE0 && cdb[2] == 0x01) status_after = true;
          }
          EXPECT_TRUE(status_after);
        });
    TearDown();
    SetUp();
  }
}

TEST_F(WindowCommandsTest, CautionSettingWritesAndShowsTheNewThreshold) {
  Run([](emulator::DeviceBuilder& s) {
        s.Product("DE-T4783Z").OnStiUsb().Status(0).RollerCounts(900, 10, 0).Thresholds(1000, 200000, 0);
      },
      [&](CServiceUtilityDlg& d) {
        actions_.Once<CUDlgWarning>([](CUDlgWarning& dialog) {
          ui::Type(dialog.GetDlgItem(1081), "1500");
          ui::Click(dialog.GetDlgItem(ui::IDOK));
        });
        ui::Click(d.GetDlgItem(id::kCautionSetting));
        EXPECT_EQ(scanner_->State().counters.clean_threshold, 1500u);
        EXPECT_EQ(d.GetDlgItemText(id::kAfterCleanValue), "900 (Caution 1500)");
        EXPECT_EQ(Timers(d), std::vector<unsigned>{10});

        actions_.Once<CUDlgWarning>([](CUDlgWarning& dialog) { ui::Click(dialog.GetDlgItem(ui::IDCANCEL)); });
        scanner_->ClearLog();
        ui::Click(d.GetDlgItem(id::kCautionSetting));
        for (const auto& e : Exchanges()) EXPECT_NE(e.Cdb()[0], 0xE1);
      });
}

TEST_F(WindowCommandsTest, CompatibleModeShowsTheNewNameInTheWindow) {
  Run([](emulator::DeviceBuilder& s) { s.Product("DE-T2713Z").OnAspi(0, 2).Status(0); },
      [&](CServiceUtilityDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(id::kCompatibleValue), "DE-T2713Z");
        actions_.Once<CDlgCompatibleMode>([](CDlgCompatibleMode& dialog) {
          ui::Select(dialog.GetDlgItem(kIdcCompatibleList), 0);
          ui::Click(dialog.GetDlgItem(ui::IDOK));
        });
        ui::Click(d.GetDlgItem(id::kCompatibleMode));
        EXPECT_EQ(d.GetDlgItemText(id::kCompatibleValue), "DE-T1783A");
        EXPECT_EQ(d.context().compatible_second, 5);
        EXPECT_EQ(Timers(d), std::vector<unsigned>{10});
      });
}

TEST_F(WindowCommandsTest, CleanImprinterSaysCompleteOnlyOnSuccess) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails);
    Run([](emulator::DeviceBuilder& s) { s.Product("DE-T2713Z").OnAspi(0, 2).Status(0).Imprinters(true, true); },
        [&](CServiceUtilityDlg& d) {
          if (fails) scanner_->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE1, 0xA0)));
          ASSERT_TRUE(ui::Click(d.GetDlgItem(id::kCleanImprinter)));
          const std::vector<std::string> complete{"Complete"};
          EXPECT_EQ(BoxTexts() == complete, !fails);
          EXPECT_EQ(prompter_.boxes().size(), 1u);
          ASSERT_FALSE(Writes().empty());
          EXPECT_EQ(Writes()[0].data, (std::vector<uint8_t>{0x00, 0x64}));
          EXPECT_EQ(Timers(d), std::vector<unsigned>{5000});
        });
    TearDown();
    SetUp();
  }
}

}  // namespace
}  // namespace settings
