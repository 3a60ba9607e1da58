#include "platform/ui/shell.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/platform/test_env.h"

namespace platform::ui {
namespace {

using platform::testing::ScopedPrefix;
using platform::testing::TempDir;
using platform::testing::WriteAll;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteAll(folder_.path() / "HTML" / "English" / "scanutil.htm", "<html></html>");
    folder_windows_ = paths::ToWindows(folder_.path());
  }

  ScopedPrefix prefix_;
  TempDir folder_;
  std::string folder_windows_;
};

TEST_F(ShellTest, AnExistingFileOrFolderGoesToTheOpenerWithItsHostPath) {
  ShellLog log;
  const std::string page = folder_windows_ + "\\HTML\\English\\scanutil.htm";
  EXPECT_EQ(ShellExecute(nullptr, "open", page, "-x", "", SW_SHOWNORMAL), kShellOpened);
  EXPECT_EQ(ShellExecute(nullptr, "", folder_windows_ + "\\HTML\\", "", "", SW_SHOWNORMAL), kShellOpened);
  // A relative name is taken in the directory given.
  EXPECT_EQ(ShellExecute(nullptr, "Open", "HTML\\English\\scanutil.htm", "", folder_windows_, SW_SHOW), kShellOpened);
  ASSERT_EQ(log.requests.size(), 3u);
  EXPECT_EQ(log.requests[0].file, page);
  EXPECT_EQ(log.requests[0].verb, "open");
  EXPECT_EQ(log.requests[0].parameters, "-x");
  EXPECT_EQ(log.requests[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(log.requests[0].host_path, folder_.path() / "HTML" / "English" / "scanutil.htm");
  EXPECT_EQ(log.requests[1].host_path, folder_.path() / "HTML");
  EXPECT_EQ(log.requests[2].host_path, log.requests[0].host_path);
  EXPECT_EQ(log.requests[2].show, SW_SHOW);
}

TEST_F(ShellTest, FailuresAnswerTheShellsCodes) {
  ShellLog log(SE_ERR_NOASSOC);
  struct Case {
    const char* verb;
    std::string file;
    INT_PTR result;
  } const cases[] = {
      {"open", folder_windows_ + "\\HTML\\French\\scanutil.htm", SE_ERR_FNF},
      {"open", "", SE_ERR_FNF},
      {"open", "Q:\\HTML\\English\\scanutil.htm", SE_ERR_PNF},
      {"print", folder_windows_ + "\\HTML\\English\\scanutil.htm", SE_ERR_NOASSOC},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShellExecute(nullptr, c.verb, c.file, "", "", SW_SHOWNORMAL), c.result) << c.verb << " " << c.file;
  EXPECT_TRUE(log.requests.empty()) << "nothing that cannot be opened reaches the desktop";
  // The opener's own failure is passed on.
  EXPECT_EQ(ShellExecute(nullptr, "open", folder_windows_ + "\\HTML\\English\\scanutil.htm", "", "", SW_SHOWNORMAL),
            SE_ERR_NOASSOC);
  EXPECT_EQ(log.requests.size(), 1u);
}

}  // namespace
}  // namespace platform::ui
