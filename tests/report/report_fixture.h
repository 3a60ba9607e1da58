// The report against an emulated bus: the scanner part written to a file in the
// prefix, compared with the golden texts kept beside the tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "emulator/device_builder.h"
#include "report/report_context.h"
#include "report/report_file.h"
#include "report/scanner_sections.h"
#include "tests/platform/test_env.h"
#include "tests/scanner/scanner_fixture.h"

namespace report::testing {

constexpr const char* kPartPath = "C:\\part.txt";

class ReportTest : public scanner::testing::ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    std::filesystem::create_directories(prefix_.drive_c());
    scanner::ResetContext(window_);
  }

  void OpenBus(emulator::BusBuilder& builder) { Open(builder.Build()); }

  // The scanner part as the file holds it; written_ says whether the run goes on.
  std::string ScannerPart() {
    ReportFile file;
    EXPECT_TRUE(file.Create(kPartPath));
    ReportContext context{window_};
    written_ = WriteScannerSections(file, context);
    file.Close();
    return platform::testing::ReadAll(prefix_.drive_c() / "part.txt");
  }

  // The sections of the identified context_ alone; written_ as above.
  std::string OneScannerPart() {
    ReportFile file;
    EXPECT_TRUE(file.Create(kPartPath));
    written_ = WriteScannerReport(file, context_);
    file.Close();
    return platform::testing::ReadAll(prefix_.drive_c() / "part.txt");
  }

  // The golden text of that name; with REPORT_GOLDEN_UPDATE set the text is written
  // instead, to be read against the report's description before it is kept.
  static void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = std::filesystem::path(REPORT_GOLDEN_DIR) / (name + ".txt");
    if (std::getenv("REPORT_GOLDEN_UPDATE")) platform::testing::WriteAll(path, actual);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(actual, platform::testing::ReadAll(path)) << name;
  }

  // The text with CR LF line ends, as the file has it.
  static std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  scanner::ScannerContext window_;
  bool written_ = false;
};

}  // namespace report::testing
