#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "emulator/device_builder.h"
#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/timers.h"
#include "platform/ui/user_input.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/control_ids.h"
#include "utility/service_utility_app.h"

namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using scanner::testing::ScannerTest;

// The utility as started, against an emulated scanner: clearing a roller counter in its
// window appends the record to the log in the default folder.
class UtilityRecordTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    ui::UseVirtualTimers(true);
    fs::create_directories(prefix_.drive_c());
  }
  void TearDown() override {
    ui::ClearUnattendedDialogs();
    ui::UseVirtualTimers(false);
    ScannerTest::TearDown();
  }
  fs::path Log() const { return prefix_.drive_c() / "Quorvex" / "Document Scanner" / "scanutil" / "ScannerErr.log"; }
};

TEST_F(UtilityRecordTest, ClearingRollerCountersAppendsOneRecordEach) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0).RollerCounts(700, 500, 0);
  bus_ = builder.Build();
  emulator::InstallDriverKeys(*bus_);
  emulator::Install(bus_, {});

  ui::ModalActions actions;
  actions.On(102, [&](ui::CDialog& d) {
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterClean));
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterReplace));
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterReplace));  // already 0: no record
  });
  utility::CServiceUtilityApp app;
  const char* args[] = {"scanutil"};
  app.InitInstance(1, args);
  app.ExitInstance();
  EXPECT_EQ(actions.runs(), 1);

  const std::string text = platform::testing::ReadAll(Log());
  const std::string head = R"(\d{4}/\d\d/\d\d,\d\d:\d\d,DE-T4783Z *,[^,]*,0x-,-,\d+,\d+,)";
  EXPECT_TRUE(std::regex_match(text, std::regex(head + R"(0,500,0,Clean Roller Counter was reset to 0\r\n)" + head +
                                                R"(0,0,0,Replace Roller Counter was reset to 0\r\n)")))
      << text;
}

}  // namespace
