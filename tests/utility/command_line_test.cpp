#include <gtest/gtest.h>

#include <vector>

#include "utility/command_line_info.h"

namespace utility {
namespace {

int Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "scanutil");
  CUCommandLineInfo info;
  platform::ParseCommandLine(static_cast<int>(args.size()), args.data(), info);
  return info.indicator_mode;
}

TEST(CommandLineTest, IndicatorKeyword) {
  struct Case {
    std::vector<const char*> args;
    int indicator;
  } cases[] = {
      {{}, 0},
      {{"Indicator"}, 1},
      {{"/Indicator"}, 1},
      {{"-Indicator"}, 1},
      {{"indicator"}, 0},
      {{"/INDICATOR"}, 0},
      {{"IndicatorMode2"}, 1},
      {{"Indicato"}, 0},
      {{"xIndicator"}, 0},
      {{"foo", "Indicator", "bar"}, 1},
      {{"Indicator", "other"}, 1},
      {{"//Indicator"}, 0},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const char* a : c.args) shown += std::string(a) + " ";
    EXPECT_EQ(Parse(c.args), c.indicator) << shown;
  }
}

// A vector shortened under the parser (a null entry before argc) ends the parameters there.
TEST(CommandLineTest, NullEntryEndsTheParameters) {
  const char* shortened[] = {"scanutil", "-x", nullptr, "Indicator"};
  CUCommandLineInfo info;
  platform::ParseCommandLine(4, shortened, info);
  EXPECT_EQ(info.indicator_mode, 0);
  platform::ParseCommandLine(3, nullptr, info);
  EXPECT_EQ(info.indicator_mode, 0);
}

}  // namespace
}  // namespace utility
