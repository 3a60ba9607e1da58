#include "utility/service_utility_dlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/desktop.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/timers.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window_dump.h"
#include "resources/app_resources.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/control_ids.h"

namespace utility {
namespace {

namespace ui = platform::ui;
using scanner::testing::ScannerTest;

std::string L(int id) { return resources::LoadString(id); }

// The main window against an emulated bus, driven in its own modal loop.
class MainWindowTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    ui::UseVirtualTimers(true);
    ui::SetForegroundOverride(nullptr);
  }
  void TearDown() override {
    ui::SetForegroundOverride(std::nullopt);
    ui::UseVirtualTimers(false);
    ScannerTest::TearDown();
  }

  void OpenBus(const std::function<void(emulator::BusBuilder&)>& build) {
    emulator::BusBuilder builder;
    build(builder);
    Open(builder.Build());
  }

  // Runs the window with the check inside its modal loop.
  void Run(const std::function<void(CServiceUtilityDlg&)>& check, int indicator_mode = 0) {
    ui::ModalActions actions;
    actions.On(102, [&](ui::CDialog& d) { check(static_cast<CServiceUtilityDlg&>(d)); });
    CServiceUtilityDlg dlg(indicator_mode);
    dlg.DoModal();
    EXPECT_EQ(actions.runs(), 1);
  }

  static bool Visible(CServiceUtilityDlg& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }
  static bool Enabled(CServiceUtilityDlg& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }

  // Writes a screenshot when UI_TEST_SHOTS names a folder.
  static void Shot(CServiceUtilityDlg& d, const std::string& name) {
    if (const char* dir = std::getenv("UI_TEST_SHOTS")) ui::SaveScreenshot(d, std::string(dir) + "/" + name + ".png");
  }
};

TEST_F(MainWindowTest, ACompactScannerOnUsb) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0).Thresholds(100000, 200000, 0);
  });
  Run([&](CServiceUtilityDlg& d) {
    Shot(d, "model39-usb");
    EXPECT_TRUE(d.context().connected);
    EXPECT_EQ(d.GetWindowText(), L(3141));
    EXPECT_EQ(d.GetDlgItemText(id::kModelValue), "DE-T4783Z       ");
    EXPECT_EQ(d.GetDlgItemText(id::kInterfaceValue), "STI USB (2.0)");
    EXPECT_FALSE(Visible(d, id::kTerminatorLabel));
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), L(5073) + "\r\n" + L(5114));
    EXPECT_EQ(d.GetDlgItemText(id::kUserShading), L(3204));
    EXPECT_TRUE(Visible(d, id::kUserShading));
    EXPECT_FALSE(Visible(d, id::kCleanImprinter));
    EXPECT_FALSE(Visible(d, id::kTestGroup));
    EXPECT_TRUE(Enabled(d, id::kSleepMode));
  });
}

}  // namespace
}  // namespace utility
