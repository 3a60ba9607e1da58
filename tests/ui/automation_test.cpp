#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ui/automation.h"
#include "platform/ui/automation_script.h"
#include "tests/platform/test_env.h"
#include "tests/ui/ui_fixture.h"

namespace ui_test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const std::filesystem::path& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto be32 = [&](size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  return {be32(16), be32(20)};
}

class AutomationTest : public UiTest {
 protected:
  void TearDown() override {
    StopAutomation();
    UiTest::TearDown();
  }
  std::filesystem::path Shots() const {
    const char* keep = std::getenv("UI_TEST_SHOTS");
    return keep && *keep ? std::filesystem::path(keep) : dir.path();
  }
  platform::testing::TempDir dir;
};

TEST_F(AutomationTest, ScriptDrivesDialogsAndWritesDumpsAndScreenshots) {
  const auto shots = Shots();
  const std::string script =
      "# the test dialog, then its nested one\n"
      "type 1001 42\n"
      "check 1003\n"
      "select 1004 0\n"
      "screenshot " + (shots / "test-dialog.png").string() + "\n"
      "wait ticks 2\n"
      "wait ms 4999\n"
      "click 1010\n"
      "type 1101 \"two  words\"\n"
      "screenshot " + (shots / "nested.png").string() + "\n"
      "dump " + (dir.path() / "open.json").string() + "\n"
      "key enter\n"
      "type 1005 abc\n"
      "click 1\n"
      "answer ok\n"
      "dump " + (dir.path() / "after.json").string() + "\n"
      "type 1005 5000\n"
      "click 1\n";
  StartAutomationScript(script, "script");
  CTestDlg dialog;
  dialog.start_timer = true;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(AutomationErrors().empty()) << AutomationErrors().front();
  EXPECT_TRUE(AutomationFinished());
  EXPECT_EQ(AutomationExitCode(), 0);
  EXPECT_EQ(dialog.minutes, 42);
  EXPECT_EQ(dialog.disabled, 1);
  EXPECT_EQ(dialog.choice, 0);
  EXPECT_EQ(dialog.count, 5000u);
  EXPECT_EQ(dialog.nested_result, IDOK);
  EXPECT_EQ(dialog.nested_text, "two  words");
  EXPECT_EQ(dialog.ticks, (std::vector<UINT_PTR>{1, 1})) << "two ticks, then 4999 ms with none due";

  const std::string open = ReadFile(dir.path() / "open.json");
  for (const char* expected : {"\"template\": \"200\", \"title\": \"Test Dialog\"", "\"template\": \"SECOND\"",
                               "{\"id\": 1001, \"kind\": \"edit\", \"class\": \"Edit\", \"text\": \"42\", \"visible\": true, "
                               "\"enabled\": true, \"rect\": [75, 8, 119, 31]}",
                               "{\"id\": 1003, \"kind\": \"checkbox\", \"class\": \"Button\", \"text\": \"&Disable\", "
                               "\"visible\": true, \"enabled\": true, \"rect\": [11, 41, 101, 57], \"checked\": 1}",
                               "\"items\": [\"ASPI SCSI\", \"STI SCSI\", \"STI USB\"], \"selection\": 0",
                               "\"position\": 42, \"range\": [1, 60]", "\"text\": \"two  words\"", "\"messageBoxes\": []"})
    EXPECT_NE(open.find(expected), std::string::npos) << expected << "\n" << open;
  const std::string after = ReadFile(dir.path() / "after.json");
  EXPECT_NE(after.find("\"messageBoxes\": [{\"caption\": \"Test Utility\", \"text\": \"Please enter a positive integer.\", "
                       "\"type\": 48, \"answer\": 1}]"),
            std::string::npos)
      << after;
  EXPECT_EQ(after.find("SECOND"), std::string::npos) << "the nested dialog has closed";

  // Screenshots have the window rectangle's size.
  EXPECT_EQ(PngSize(shots / "test-dialog.png"), std::make_pair(240 + 6, 163 + 28));
  EXPECT_EQ(PngSize(shots / "nested.png"), std::make_pair(150 + 6, 65 + 28));
}

TEST_F(AutomationTest, AFaultEndsTheRunAndEveryDialog) {
  StartAutomationScript("click 1010\nclick 4242\nclick 1\n", "faulty");
  CTestDlg dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.nested_result, IDCANCEL);
  ASSERT_EQ(AutomationErrors().size(), 1u);
  EXPECT_EQ(AutomationErrors()[0], "faulty:2: no control 4242 in dialog SECOND");
  EXPECT_EQ(AutomationExitCode(), 3);
  // Whatever opens afterwards ends at once.
  CTestDlg later;
  EXPECT_EQ(later.DoModal(), IDCANCEL);
}

TEST_F(AutomationTest, MenusFileDialogsAndRefusedInput) {
  StartAutomationScript("sysmenu 16\nclick 1011\nclick 1012\nfile C:\\TEMP\\Report\nclose\n", "menu");
  CTestDlg dialog;
  dialog.refuse_cancel = false;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(AutomationErrors().empty());
  EXPECT_EQ(dialog.system_commands, (std::vector<UINT>{IDM_ABOUTBOX, SC_CLOSE}));
  EXPECT_EQ(dialog.group_clicks, 1);
  EXPECT_EQ(dialog.saved_path, "C:\\TEMP\\Report.txt");

  StartAutomationScript("type 1001 5\nclick 1001\n", "static");
  CTestDlg again;
  again.DoModal();
  ASSERT_EQ(AutomationErrors().size(), 1u);
  EXPECT_NE(AutomationErrors()[0].find("static:2: control 1001 cannot be clicked"), std::string::npos);
}

TEST(AutomationScript, MalformedLinesAreReportedAndSkipped) {
  const AutomationScript script = ParseAutomationScript("CLICK 1\nclik 2\nwait ticks\n\n# note\ntype 7 \"a\\tb\"\ntype 8 \"open\n\xff\xfe\n");
  ASSERT_EQ(script.steps.size(), 2u);
  EXPECT_EQ(script.steps[0].verb, "click");
  EXPECT_EQ(script.steps[1].args, (std::vector<std::string>{"7", "a\tb"}));
  EXPECT_EQ(script.errors, (std::vector<std::string>{"line 2: unknown step 'clik'", "line 3: wrong number of arguments for 'wait'",
                                                     "line 7: malformed quoted text", "line 8: unknown step '\xff\xfe'"}));
}

}  // namespace
}  // namespace ui_test
