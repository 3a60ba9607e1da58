// The main window's Save Info command: the report inside the command frame, then
// the status refresh and the status timer at 5000 ms.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/ui/desktop.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/timers.h"
#include "platform/ui/user_input.h"
#include "resources/app_resources.h"
#include "tests/report/report_fixture.h"
#include "utility/connect_scanner.h"
#include "utility/control_ids.h"
#include "utility/service_utility_dlg.h"

namespace report::testing {
namespace {

namespace ui = platform::ui;
namespace id = utility::id;

class SaveInfoCommandTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    ui::UseVirtualTimers(true);
    ui::SetForegroundOverride(nullptr);
  }
  void TearDown() override {
    ui::SetFileDialogAnswerer(nullptr);
    utility::SetScannerChooser(nullptr);
    ui::ClearUnattendedDialogs();
    ui::SetForegroundOverride(std::nullopt);
    ui::UseVirtualTimers(false);
    ReportTest::TearDown();
  }

  // Clicks Save Info in the running window; the file dialog first runs `during`.
  void SaveInfo(const std::function<void(utility::CServiceUtilityDlg&)>& check,
                const std::function<void()>& during = {}) {
    ui::SetFileDialogAnswerer([during](const ui::FileDialogRequest&) -> std::optional<std::string> {
      if (during) during();
      return "C:\\Scanner.txt";
    });
    ui::ModalActions actions;
    actions.On(102, [&](ui::CDialog& dialog) {
      auto& d = static_cast<utility::CServiceUtilityDlg&>(dialog);
      ui::Click(d.GetDlgItem(id::kSaveInfo));
      check(d);
    });
    utility::CServiceUtilityDlg dlg(0);
    dlg.DoModal();
    EXPECT_EQ(actions.runs(), 1);
  }

  static unsigned StatusTimerInterval() {
    for (const ui::TimerInfo& timer : ui::ActiveTimers()) {
      if (timer.id == utility::kStatusTimerId) return timer.interval_ms;
    }
    return 0;
  }

  std::string Report() const { return platform::testing::ReadAll(prefix_.drive_c() / "Scanner.txt"); }
};

TEST_F(SaveInfoCommandTest, WritesTheReportThenRefreshesTheStatusAndRestartsTheTimer) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0x11000000);
  OpenBus(builder);
  SaveInfo([&](utility::CServiceUtilityDlg& d) {
    EXPECT_TRUE(Report().starts_with(Crlf("<< Date >>\n")));
    EXPECT_NE(Report().find(Crlf("\n<< Scanner >>\nInterface, STI USB (2.0)\n")), std::string::npos);
    EXPECT_TRUE(d.context().connected);
    // The frame cleared the status; the refresh after the run shows the jam again.
    EXPECT_EQ(d.GetDlgItemText(id::kErrorPart2), "U11");
    EXPECT_EQ(StatusTimerInterval(), 5000u);
  });
}

// The scanner is gone by the time the sections are written: the report says so and
// the window, no longer connected, refreshes its information too.
TEST_F(SaveInfoCommandTest, AScannerLostDuringTheRunRefreshesTheInformation) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0);
  OpenBus(builder);
  SaveInfo(
      [&](utility::CServiceUtilityDlg& d) {
        EXPECT_NE(Report().find(Crlf("\n<< Scanner >>\nNot Connected.\n\n<< Related files >>\n")), std::string::npos);
        EXPECT_FALSE(d.context().connected);
        EXPECT_EQ(d.GetDlgItemText(id::kModelValue), "");
        EXPECT_EQ(StatusTimerInterval(), 5000u);
      },
      [&] { bus_->Find("S")->Unplug(); });
}

}  // namespace
}  // namespace report::testing
