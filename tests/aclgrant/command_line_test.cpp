#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aclgrant/access_grant.h"
#include "aclgrant/command_tail.h"
#include "aclgrant/world_group.h"
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

TEST(CommandLineTail, QuotesAnArgumentWithBlanksUnlessItHasQuotes) {
  struct Case {
    Args args;
    const char* tail;
  };
  const Case cases[] = {
      {{}, ""},
      {{"C:\\log dir"}, "\"C:\\log dir\""},
      {{"C:\\log", "dir"}, "C:\\log dir"},
      {{"a\tb"}, "\"a\tb\""},
      {{"\"C:\\log dir\""}, "\"C:\\log dir\""},
      {{"say \"hi\" now"}, "say \"hi\" now"},
      {{"", "x"}, " x"},
      {{"plain", "two words", "x"}, "plain \"two words\" x"},
  };
  for (const auto& c : cases) EXPECT_EQ(aclgrant::CommandLineTail(c.args), c.tail) << c.tail;
}

TEST(WorldGroupName, FollowsTheSystemLanguage) {
  struct Case {
    platform::LANGID language;
    const char* name;
  };
  const Case cases[] = {
      {0x0409, "Everyone"},      {0x0809, "Everyone"},      {0x0407, "Jeder"},    {0x0807, "Jeder"},
      {0x040C, "Tout le monde"}, {0x0C0C, "Tout le monde"}, {0x0C0A, "Todos"},    {0x080A, "Todos"},
      {0x0416, "Todos"},         {0x0419, "Все"},           {0x0410, "Everyone"}, {0x0411, "Everyone"},
      {0x0412, "Everyone"},      {0x0804, "Everyone"},      {0x0404, "Everyone"},
  };
  for (const auto& c : cases) EXPECT_EQ(aclgrant::WorldGroupName(c.language), c.name) << std::hex << c.language;
}

}  // namespace
