// A fresh prefix, a report file in it and the platform doubles the sections read.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/language.h"
#include "platform/memory_status.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/system_version.h"
#include "report/report_context.h"
#include "report/report_file.h"
#include "tests/platform/test_env.h"

namespace report::testing {

// The text as the file holds it: every line feed as CR LF.
inline std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Sets string values (and subkeys) under HKEY_LOCAL_MACHINE.
inline void SetStrings(const std::string& path, std::initializer_list<std::pair<const char*, const char*>> values) {
  auto key = platform::RegKey::Create(platform::HKEY_LOCAL_MACHINE, path);
  ASSERT_TRUE(key) << path;
  for (const auto& [name, value] : values) ASSERT_TRUE(key->Set(name, platform::RegValue::String(value)));
}

class PcSectionTest : public ::testing::Test {
 protected:
  ~PcSectionTest() override {
    platform::system::ForceVersionForTest(std::nullopt);
    platform::system::ForceNumberOfProcessorsForTest(std::nullopt);
    platform::system::ForceMemoryStatusForTest(std::nullopt);
    platform::system::ForceWow64ForTest(std::nullopt);
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
  }

  // What one writer put into a fresh report file, and its answer.
  std::string Written(const std::function<bool(ReportFile&, ReportContext&)>& writer, bool* answer = nullptr) {
    ReportFile file;
    EXPECT_TRUE(file.Create("C:\\report.txt"));
    const bool ok = writer(file, context);
    if (answer) *answer = ok;
    file.Close();
    return platform::testing::ReadAll(prefix.drive_c() / "report.txt");
  }

  platform::testing::ScopedPrefix prefix;
  scanner::ScannerContext scanner;
  ReportContext context{scanner};
};

}  // namespace report::testing
