// The built scanutil writes the report from its automation script: a click on Save
// Info and a file step answering the Save As dialog.
#include <gtest/gtest.h>

#include <string>

#include "tests/utility/demo_run.h"

namespace report::testing {
namespace {

TEST(HeadlessReportTest, TheAutomationScriptSavesTheReport) {
  const utility::testing::DemoRun run("foreground none\nwait ticks 2\nclick 1008\nfile C:\\Scanner.txt\n");
  ASSERT_TRUE(run.ExitedWith(0)) << run.status();
  const std::string report = platform::testing::ReadAll(run.drive_c() / "Scanner.txt");
  EXPECT_NE(report.find("<< Scanner >>\r\nInterface, STI USB (2.0)\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\n<< Counter >>\r\nSystem Count, "), std::string::npos);
  EXPECT_NE(report.find("<< Shading Source >>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace report::testing
