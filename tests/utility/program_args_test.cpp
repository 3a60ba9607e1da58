// The built scanutil with command lines that carry options a toolkit would act on:
// they must change nothing, and "Indicator" after them still counts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "tests/utility/demo_run.h"

namespace utility {
namespace {

struct Outcome {
  int status = -1;
  std::string dump;
};

// One run with the window dumped as JSON.
Outcome RunUtility(const std::vector<std::string>& args) {
  const testing::DemoRun run("dump {folder}/dump.json\n", args);
  return {run.status(), platform::testing::ReadAll(run.folder() / "dump.json")};
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
