// The built scanutil with command lines that carry options a toolkit would act on:
// they must change nothing, and "Indicator" after them still counts.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/test_env.h"

extern char** environ;

namespace utility {
namespace {

namespace fs = std::filesystem;
using platform::testing::ReadAll;
using platform::testing::TempDir;
using platform::testing::WriteAll;

struct Outcome {
  int status = -1;
  std::string dump;
};

// One run in a folder of its own (prefix, runtime folder, scenario), so that no other
// test's instance mutex or window is seen; the window is dumped as JSON and closed.
Outcome RunUtility(const std::vector<std::string>& args) {
  TempDir dir;
  const fs::path scenario = dir.path() / "demo.ini";
  fs::copy_file(DEMO_SCENARIO, scenario);
  const fs::path dump = dir.path() / "dump.json";
  WriteAll(dir.path() / "steps", "dump " + dump.string() + "\n");
  fs::create_directories(dir.path() / "run");

  std::vector<std::string> env = {
      "SCANUTIL_PREFIX=" + (dir.path() / "prefix").string(),
      "SCANUTIL_SCENARIO=" + scenario.string(),
      "SCANUTIL_AUTOMATION=" + (dir.path() / "steps").string(),
      "XDG_RUNTIME_DIR=" + (dir.path() / "run").string(),
      "TMPDIR=" + dir.path().string(),
      "QT_QPA_PLATFORM=offscreen",
      "HOME=" + dir.path().string(),
  };
  std::vector<std::string> argv_text = {SCANUTIL_PROGRAM};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  Outcome run;
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::waitpid(pid, &run.status, 0);
  run.dump = ReadAll(dump);
  return run;
}

TEST(ProgramArgumentsTest, ToolkitOptionsChangeNothing) {
  const Outcome plain = RunUtility({});
  const Outcome indicator = RunUtility({"Indicator"});
  ASSERT_TRUE(WIFEXITED(plain.status) && WEXITSTATUS(plain.status) == 0) << plain.status;
  ASSERT_FALSE(plain.dump.empty());
  ASSERT_NE(plain.dump, indicator.dump) << "the display-only layout should differ from the user layout";

  struct Case {
    std::vector<std::string> args;
    const Outcome& same_as;
  } cases[] = {
      {{"-reverse"}, plain},
      {{"-style", "fusion"}, plain},
      {{"-platform", "xcb", "-display", ":99"}, plain},
      {{"-reverse", "Indicator"}, indicator},
      {{"-style", "Indicator"}, indicator},
      {{"Indicator", "-qwindowgeometry", "10x10"}, indicator},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    const Outcome run = RunUtility(c.args);
    ASSERT_TRUE(WIFEXITED(run.status)) << shown << "ended by signal " << WTERMSIG(run.status);
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << shown;
    EXPECT_EQ(run.dump, c.same_as.dump) << shown;
  }
}

}  // namespace
}  // namespace utility
