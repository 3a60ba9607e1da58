#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "emulator/device_builder.h"
#include "errorlog/counter_reset_record.h"
#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "platform/ui/modal_actions.h"
#include "resources/app_resources.h"
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

  void StartUtility(const emulator::BusBuilder& builder) {
    bus_ = builder.Build();
    emulator::InstallDriverKeys(*bus_);
    emulator::Install(bus_, {});
    utility::CServiceUtilityApp app;
    const char* args[] = {"scanutil"};
    app.InitInstance(1, args);
    app.ExitInstance();
  }
};

bool IsCounterRead(const std::vector<uint8_t>& cdb) {
  return cdb.size() > 2 && cdb[0] == 0xE0 && (cdb[2] == 0x86 || cdb[2] == 0x9C);
}

TEST_F(UtilityRecordTest, ClearingRollerCountersAppendsOneRecordEach) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0).RollerCounts(700, 500, 0);
  ui::ModalActions actions;
  actions.On(102, [&](ui::CDialog& d) {
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterClean));
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterReplace));
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterReplace));  // already 0: no record
  });
  StartUtility(builder);
  EXPECT_EQ(actions.runs(), 1);

  const std::string text = platform::testing::ReadAll(Log());
  const std::string head = R"(\d{4}/\d\d/\d\d,\d\d:\d\d,DE-T4783Z *,[^,]*,0x-,-,\d+,\d+,)";
  EXPECT_TRUE(std::regex_match(text, std::regex(head + R"(0,500,0,Clean Roller Counter was reset to 0\r\n)" + head +
                                                R"(0,0,0,Replace Roller Counter was reset to 0\r\n)")))
      << text;
}

// The record takes the counters the window holds after the clear: the scanner is not
// read again, so a scanner that would now fail every counter read still gets its record.
TEST_F(UtilityRecordTest, RecordComesFromTheWindowsCountersWithoutAFurtherRead) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4713Z").OnStiUsb().Status(0).SystemCounts(12345).RollerCounts(700, 500, 40);
  std::vector<std::vector<uint8_t>> after_clear;
  ui::ModalActions actions;
  actions.On(102, [&](ui::CDialog& d) {
    const auto scanner = bus_->Find("S");
    for (uint8_t type : {0x86, 0x9C})
      scanner->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE0, type), emulator::kAlways));
    scanner->ClearLog();
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(utility::id::kClearAfterClean));
    for (const auto& exchange : scanner->Commands()) after_clear.push_back(exchange.Cdb());
  });
  StartUtility(builder);
  ASSERT_EQ(actions.runs(), 1);

  const std::string text = platform::testing::ReadAll(Log());
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}/\d\d/\d\d,\d\d:\d\d,DE-T4713Z *,[^,]*,0x-,-,)"
                                                R"(12345,0,0,500,40,Clean Roller Counter was reset to 0\r\n)")))
      << text;
  const bool cleared = std::any_of(after_clear.begin(), after_clear.end(), [](const std::vector<uint8_t>& cdb) {
    return cdb.size() > 2 && cdb[0] == 0xE1 && cdb[2] == 0x91;
  });
  EXPECT_TRUE(cleared);
  EXPECT_TRUE(std::none_of(after_clear.begin(), after_clear.end(), IsCounterRead));
}

// A colour model of code 34 as identified on the bus: the record names it as the window does.
TEST_F(UtilityRecordTest, ColourModelThirtyFourIsNamedWithItsSuffix) {
  Connect("DE-T5763");
  ASSERT_EQ(context_.model_code, 34);
  ASSERT_TRUE(context_.color_option);
  errorlog::AppendCounterResetRecord(context_, {9, 0, 0, 0, 0}, errorlog::ResetKind::kClean);
  const std::string text = platform::testing::ReadAll(Log());
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(^\d{4}/\d\d/\d\d,\d\d:\d\d,DE-T5763 *)" +
                                                 resources::LoadString(3198) + R"(,[^,]*,0x-,-,9,0,0,0,0,)")))
      << text;
}

}  // namespace
