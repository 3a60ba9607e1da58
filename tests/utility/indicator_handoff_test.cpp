#include "utility/indicator_handoff.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/platform/test_env.h"

namespace utility {
namespace {

constexpr const char* kSaveKey = "Software\\Quorvex\\DE-TT767\\Save";

TEST(IndicatorHandoffTest, TheSavedFlatbedErrorCodeIsResetOnlyWhenSet) {
  platform::testing::ScopedPrefix prefix;
  ClearSavedFlatbedErrorCode();  // no key: nothing is created
  EXPECT_FALSE(platform::RegKey::Open(platform::HKEY_CURRENT_USER, kSaveKey));

  auto key = platform::RegKey::Create(platform::HKEY_CURRENT_USER, kSaveKey);
  ASSERT_TRUE(key);
  ClearSavedFlatbedErrorCode();  // no value: nothing is written
  EXPECT_FALSE(key->Query("ErrorCode"));

  ASSERT_TRUE(key->Set("ErrorCode", platform::RegValue::Dword(0x1234)));
  ClearSavedFlatbedErrorCode();
  EXPECT_EQ(key->Query("ErrorCode")->AsDword(), 0u);

  // A value already 0 is not rewritten: the hive file stays as it is.
  const auto hive = prefix.path() / "user.reg";
  const auto before = std::filesystem::last_write_time(hive);
  const std::string text = platform::testing::ReadAll(hive);
  ClearSavedFlatbedErrorCode();
  EXPECT_EQ(platform::testing::ReadAll(hive), text);
  EXPECT_EQ(std::filesystem::last_write_time(hive), before);
}

}  // namespace
}  // namespace utility
