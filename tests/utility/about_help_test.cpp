#include <gtest/gtest.h>

#include <filesystem>

#include "platform/language.h"
#include "platform/paths.h"
#include "platform/ui/icons.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/shell.h"
#include "platform/ui/user_input.h"
#include "tests/platform/scripted_prompter.h"
#include "tests/platform/test_env.h"
#include "utility/about_dlg.h"
#include "utility/help.h"

namespace utility {
namespace {

using namespace platform::ui;
using platform::testing::TempDir;

// The icons as the program ships them.
const std::filesystem::path kImages = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                                      "resources" / "images";

TEST(AboutTest, TheBoxNamesTheProgramShowsItsIconAndVersion) {
  SetImageFolders({kImages});
  CAboutDlg about;
  ModalActions actions;
  actions.Once<CAboutDlg>([](CAboutDlg& d) {
    EXPECT_EQ(d.GetWindowText(), "User Utility");
    EXPECT_EQ(d.GetDlgItemText(1167), "User Utility");
    EXPECT_EQ(d.GetDlgItemText(1093), "1.0.0.1");
    EXPECT_EQ(GetImageSize(static_cast<CStatic*>(d.GetDlgItem(1166))->GetIcon()), CSize(32, 32));
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_EQ(about.DoModal(), IDOK);
  SetImageFolders({});

  CAboutDlg unknown(nullptr, std::nullopt);
  actions.Once<CAboutDlg>([](CAboutDlg& d) {
    EXPECT_EQ(d.GetDlgItemText(1093), "") << "no version, no text";
    Click(d.GetDlgItem(IDOK));
  });
  unknown.DoModal();
  EXPECT_EQ(actions.runs(), 2);
}

TEST(AboutTest, VersionLabelPrintsEachPartInFull) {
  EXPECT_EQ(VersionLabel(FileVersion{65535, 0, 65535, 7}), "65535.0.65535.7");
  EXPECT_EQ(VersionLabel(std::nullopt), "");
}

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::paths::SetProgramFolderForTest(program_.path()); }
  void TearDown() override {
    platform::paths::SetProgramFolderForTest(std::nullopt);
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
  }
  void WritePage(const std::string& folder) {
    platform::testing::WriteAll(program_.path() / "HTML" / folder / "scanutil.htm", "<html></html>");
  }

  platform::testing::ScopedPrefix prefix_;
  TempDir program_;
  platform::testing::ScriptedPrompter prompter_;
};

TEST_F(HelpTest, ThePageOfTheUsersLanguageIsOpened) {
  struct Case {
    platform::LANGID user, system;
    const char* folder;
  } const cases[] = {
      {0x0409, 0x0409, "English"},
      {0x0407, 0x0409, "German"},
      {0x0C0A, 0x0409, "Spanish"},
      {0x040C, 0x040C, "French"},
      {0x0410, 0x0409, "Italian"},
      {0x0411, 0x0411, "Japanese"},
      {0x0412, 0x0409, "Korean"},
      {0x0419, 0x0409, "Russian"},
      {0x0416, 0x0409, "Brazilian Portuguese"},
      {0x0816, 0x0816, "English"},  // Portuguese of Portugal: the English texts, so the English page
      {0x0804, 0x0804, "Chinese(Simplified)"},
      {0x0404, 0x0804, "Chinese(Simplified)"},
      {0x0804, 0x0404, "English"},
      {0x0804, 0x0409, "English"},
      {0x0413, 0x0413, "English"},
  };
  for (const Case& c : cases) WritePage(c.folder);
  ShellLog shell;
  for (const Case& c : cases) {
    platform::ForceLangIdsForTest(c.user, c.system);
    shell.requests.clear();
    OpenHelp(nullptr);
    ASSERT_EQ(shell.requests.size(), 1u) << std::hex << c.user;
    EXPECT_EQ(shell.requests[0].file, platform::paths::ProgramFolder() + "HTML\\" + c.folder + "\\scanutil.htm");
    EXPECT_EQ(shell.requests[0].verb, "open");
    EXPECT_EQ(shell.requests[0].show, SW_SHOWNORMAL);
  }
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(HelpTest, AFailureToOpenThePageIsReported) {
  platform::ForceLangIdsForTest(0x0409, 0x0409);
  ShellLog refusing(SE_ERR_NOASSOC);
  OpenHelp(nullptr);  // no page at all
  WritePage("English");
  OpenHelp(nullptr);  // a page and no program for it
  ASSERT_EQ(prompter_.boxes().size(), 2u);
  for (const auto& box : prompter_.boxes()) {
    EXPECT_EQ(box.text, "Failed to launch help.");
    EXPECT_EQ(box.type, platform::MB_ICONEXCLAMATION);
  }
  EXPECT_EQ(refusing.requests.size(), 1u);
}

}  // namespace
}  // namespace utility
