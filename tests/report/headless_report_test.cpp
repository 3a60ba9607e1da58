// The built scanutil writes the report from its automation script: a click on Save
// Info and a file step answering the Save As dialog.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/test_env.h"

extern char** environ;

namespace report::testing {
namespace {

namespace fs = std::filesystem;

TEST(HeadlessReportTest, TheAutomationScriptSavesTheReport) {
  platform::testing::TempDir dir;
  const fs::path scenario = dir.path() / "demo.ini";
  fs::copy_file(DEMO_SCENARIO, scenario);
  platform::testing::WriteAll(dir.path() / "steps", "foreground none\nwait ticks 2\nclick 1008\nfile C:\\Scanner.txt\n");
  fs::create_directories(dir.path() / "run");
  std::vector<std::string> env = {
      "SCANUTIL_PREFIX=" + (dir.path() / "prefix").string(),
      "SCANUTIL_SCENARIO=" + scenario.string(),
      "SCANUTIL_AUTOMATION=" + (dir.path() / "steps").string(),
      "XDG_RUNTIME_DIR=" + (dir.path() / "run").string(),
      "TMPDIR=" + dir.path().string(),
      "HOME=" + dir.path().string(),
      "QT_QPA_PLATFORM=offscreen",
  };
  std::string program = SCANUTIL_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, envp.data()), 0);
  int status = -1;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  const std::string report = platform::testing::ReadAll(dir.path() / "prefix" / "drive_c" / "Scanner.txt");
  EXPECT_NE(report.find("<< Scanner >>\r\nInterface, STI USB (2.0)\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\n<< Counter >>\r\nSystem Count, "), std::string::npos);
  EXPECT_NE(report.find("<< Shading Source >>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace report::testing
