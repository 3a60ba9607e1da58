#include "scanner/model_table.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

TEST(ModelTableTest, TheFirstRowThatTheProductBeginsWithWins) {
  struct Case {
    const char* product;
    uint8_t code;
  } const cases[] = {
      {"DE-T4783Z       ", 39},  // space padded as INQUIRY has it
      {"DE-T9733A       ", 16},
      {"DE-T9793Z       ", 1},   // "DE-T9793" comes first
      {"JJN 4977S       ", 8},   // before "JJN 4977"
      {"JJN 4977        ", 7},
      {"JJN 5177HWI     ", 26},  // "JJN 5177" stands before it; the compatible mode decides later
      {"DFWQD 5947      ", 30},
      {"WfzsLqcy 8207   ", 23},
      {"DE-TT767        ", 44},
      {"DE-T0000        ", 12},  // the family's catch-all
      {"de-t4783z       ", 0},   // case matters
      {"DE-", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(LookupModelCode(c.product), c.code) << c.product;
  EXPECT_EQ(ModelTable().size(), 52u);
}

}  // namespace
}  // namespace scanner
