#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aclgrant/access_grant.h"
#include "platform/process.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  struct Case {
    const char* line;
    Args args;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"tool", {"tool"}},
      {"\"C:\\Program Files\\tool.exe\" a", {"C:\\Program Files\\tool.exe", "a"}},
      {"C:\\dir\\tool.exe  a\tb ", {"C:\\dir\\tool.exe", "a", "b"}},
      {"t \"a b\" c", {"t", "a b", "c"}},
      {"t a\"b c\"d", {"t", "ab cd"}},
      {"t \"\"", {"t", ""}},
      {"t a\\\\b", {"t", "a\\\\b"}},
      {"t a\\\"b", {"t", "a\"b"}},
      {"t a\\\\\"b c\"", {"t", "a\\b c"}},
      {"t \"a\"\"b\"", {"t", "a\"b"}},
      {"t \"C:\\dir\\\" x", {"t", "C:\\dir\" x"}},
      {"t \"unterminated arg", {"t", "unterminated arg"}},
      {"\"unterminated name", {"unterminated name"}},
      {"t \"Everyone\":F", {"t", "Everyone:F"}},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::process::SplitCommandLine(c.line), c.args) << c.line;
}

TEST(ToolCommandLine, LauncherInsertsThePathUnchangedAndTheUtilityQuotesIt) {
  EXPECT_EQ(aclgrant::LauncherCommandLine("C:\\log dir", "Everyone"), "f_cacls.exe C:\\log dir /g \"Everyone\":F");
  EXPECT_EQ(aclgrant::LauncherCommandLine("", "Everyone"), "f_cacls.exe  /g \"Everyone\":F");
  EXPECT_EQ(aclgrant::UtilityCommandLine("C:\\prog\\", "C:\\log dir", "Jeder"),
            "C:\\prog\\f_cacls.exe \"C:\\log dir\" /g \"Jeder\":F");
}

}  // namespace
