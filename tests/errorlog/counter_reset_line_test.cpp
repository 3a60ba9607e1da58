#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "errorlog/counter_reset_record.h"

namespace {

using errorlog::CounterValues;
using errorlog::ResetKind;

TEST(CounterResetLine, ExactFieldsForBothKinds) {
  std::tm local{};
  local.tm_year = 2012 - 1900;
  local.tm_mon = 3;
  local.tm_mday = 5;
  local.tm_hour = 9;
  local.tm_min = 7;
  const CounterValues counts{123456, 78, 0, 4000000000u, 17};
  struct Case {
    uint8_t model_code;
    bool color_option;
    ResetKind kind;
    const char* line;
  };
  // Model code 34 carries the colour suffix the window shows; other codes never do.
  const Case cases[] = {
      {39, true, ResetKind::kClean,
       "2012/04/05,09:07,DE-T5763,A1B2C3D4E5F6G7H8,0x-,-,123456,78,0,4000000000,17,"
       "Clean Roller Counter was reset to 0"},
      {39, true, ResetKind::kReplace,
       "2012/04/05,09:07,DE-T5763,A1B2C3D4E5F6G7H8,0x-,-,123456,78,0,4000000000,17,"
       "Replace Roller Counter was reset to 0"},
      {34, true, ResetKind::kClean,
       "2012/04/05,09:07,DE-T5763 Color,A1B2C3D4E5F6G7H8,0x-,-,123456,78,0,4000000000,17,"
       "Clean Roller Counter was reset to 0"},
      {34, false, ResetKind::kClean,
       "2012/04/05,09:07,DE-T5763,A1B2C3D4E5F6G7H8,0x-,-,123456,78,0,4000000000,17,"
       "Clean Roller Counter was reset to 0"},
  };
  for (const auto& c : cases) {
    scanner::ScannerContext context;
    context.connected = true;
    context.model_code = c.model_code;
    context.color_option = c.color_option;
    std::strcpy(context.model_name, "DE-T5763");
    std::memcpy(context.identity_text, "A1B2C3D4E5F6G7H8", 16);
    EXPECT_EQ(errorlog::CounterResetLine(local, context, counts, c.kind), c.line) << int(c.model_code);
  }
}

TEST(CounterResetLine, UnterminatedFieldsStopAtTheirSize) {
  std::tm local{};
  local.tm_year = 100;
  local.tm_mday = 1;
  scanner::ScannerContext context;
  context.connected = true;
  std::memset(context.model_name, 'M', sizeof context.model_name);
  std::memset(context.identity_text, 'S', sizeof context.identity_text);
  const std::string line = errorlog::CounterResetLine(local, context, {}, ResetKind::kClean);
  EXPECT_EQ(line, "2000/01/01,00:00," + std::string(17, 'M') + "," + std::string(17, 'S') +
                      ",0x-,-,0,0,0,0,0,Clean Roller Counter was reset to 0");
}

}  // namespace
