// The display's inputs: command-line decoding and the settings file that overrides it.
#include <gtest/gtest.h>

#include <vector>

#include "errview/command_line_info.h"
#include "errview/settings_override.h"
#include "platform/paths.h"
#include "tests/platform/test_env.h"

namespace errview {
namespace {

using platform::testing::TempDir;
using platform::testing::WriteAll;

DisplayInputs Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "errview");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  CUCommandLineInfo info;
  platform::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), info);
  return info.inputs;
}

TEST(ErrviewCommandLine, DecodesOnlyTheMessagesAndThePath) {
  const DisplayInputs in = Parse({"U\\r1", "-", "\"Jam\\r\\nhere\"", "a\\nb\\t\"", "T9793Z", "\"C:\\list\\n.csv\"", "extra"});
  EXPECT_EQ(in.error_type, "U\\r1");  // taken unchanged
  EXPECT_EQ(in.error_code, "-");      // a leading '-' is data, not a switch
  EXPECT_EQ(in.message1, "Jam\r\nhere");
  EXPECT_EQ(in.message2, "a\nb\\t\"");  // one quote is no enclosing pair
  EXPECT_EQ(in.model_name, "T9793Z");
  EXPECT_EQ(in.illust_path, "C:\\list\n.csv");
}

TEST(ErrviewCommandLine, DecodingTable) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"\"\"", ""},
      {"\"", "\""},
      {"\\", "\\"},
      {"x\\", "x\\"},
      {"\\\\n", "\\\n"},
      {"\\r\\n\\n", "\r\n\n"},
      {"\"a\"b\"", "a\"b"},
      {"\xE3\x81\x82\\n", "\xE3\x81\x82\n"},  // multi-byte characters pass as they are
      {"/h/x.csv", "/h/x.csv"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeParameter(c.in), c.out) << c.in;
  EXPECT_EQ(Parse({"U11", "0x12", "m", "n", "M", "/home/a/list.csv"}).illust_path, "/home/a/list.csv");
}

TEST(ErrviewSettings, NonEmptyValuesReplaceTheCommandLine) {
  TempDir dir;
  const std::string long_value(300, 'x');
  WriteAll(dir.path() / "scUtil.ini",
           "[errview]\r\nerrTypeStr=W01\r\nerrCode=\r\nmsgStr1=one\\r\\ntwo\\nthree\\r\r\nmsgStr2=\"quoted\"\r\n"
           "modelName=" + long_value + "\r\nillustPath=C:\\a\\r\\nb.csv\r\n[other]\r\nerrCode=9\r\n");
  DisplayInputs in{"U11", "0x1", "m1", "m2", "T9793Z", "C:\\x.csv"};
  ASSERT_TRUE(ApplySettingsOverride(in, platform::paths::ToWindows(dir.path() / "scUtil.ini")));
  EXPECT_EQ(in.error_type, "W01");
  EXPECT_EQ(in.error_code, "0x1");  // empty: the command line stays
  EXPECT_EQ(in.message1, "one\r\ntwo\\nthree\\r");  // only the four-character pair
  EXPECT_EQ(in.message2, "quoted");
  EXPECT_EQ(in.model_name, std::string(259, 'x'));  // a 260-character buffer
  EXPECT_EQ(in.illust_path, "C:\\a\\r\\nb.csv");   // the path is not decoded
}

TEST(ErrviewSettings, AMissingFileChangesNothing) {
  TempDir dir;
  DisplayInputs in{"U11", "0x1", "m1", "m2", "T9793Z", "C:\\x.csv"};
  EXPECT_FALSE(ApplySettingsOverride(in, platform::paths::ToWindows(dir.path() / "scUtil.ini")));
  EXPECT_EQ(in.error_type, "U11");
  WriteAll(dir.path() / "scUtil.ini", "[errview]\r\n");
  EXPECT_TRUE(ApplySettingsOverride(in, platform::paths::ToWindows(dir.path() / "scUtil.ini")));
  EXPECT_EQ(in.message2, "m2");
}

}  // namespace
}  // namespace errview
