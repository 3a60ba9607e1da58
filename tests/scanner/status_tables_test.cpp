#include "scanner/status_tables.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

TEST(StatusTablesTest, EntriesByTable) {
  struct Case {
    StatusTable table;
    uint32_t code;
    const char* short_code;
    int first, second;
  } const cases[] = {
      {StatusTable::kDefault, 0x11223344, "U11", 5120, 5121},
      {StatusTable::kDefault, 0x17000000, "U17", 5120, 5121},
      {StatusTable::kDefault, 0x19000000, "U20", 5128, 5121},
      {StatusTable::kDefault, 0x1C000000, "U23", 5028, 5121},
      {StatusTable::kDefault, 0x08000000, "", 5073, 5114},
      {StatusTable::kDefault, 0x8A000000, "F20", 5031, 5005},
      {StatusTable::kDefault, 0x9C000000, "F38", 5031, 5005},
      {StatusTable::kDefault, 0x54000000, "F68", 5031, 5005},
      {StatusTable::kDefault, 0x9E000000, "F90", 5031, 5005},
      {StatusTable::kDefault, 0x9D000000, "F", 5114, 5114},  // not in the default table
      {StatusTable::kDefault, 0x21000000, "F", 5114, 5114},
      {StatusTable::kB, 0x1C000000, "U23", 5137, 5121},
      {StatusTable::kB, 0x9D000000, "F39", 5031, 5005},
      {StatusTable::kB, 0x32000000, "F", 5114, 5114},
      {StatusTable::kB, 0x99000000, "F", 5114, 5114},
      {StatusTable::kC, 0x11000000, "U11", 5125, 5121},
      {StatusTable::kC, 0x08000000, "F", 5114, 5114},
      {StatusTable::kC, 0x1D000000, "F", 5114, 5114},
      {StatusTable::kC, 0x61000000, "F", 5114, 5114},
      {StatusTable::kC, 0x60000000, "F80", 5031, 5005},
      {StatusTable::kE, 0x11000000, "U11", 5056, 5009},
      {StatusTable::kE, 0x21000000, "U32", 5021, 5004},
      {StatusTable::kE, 0x24000000, "U35", 5021, 5004},
      {StatusTable::kE, 0x95000000, "F31", 5031, 5005},
      {StatusTable::kE, 0x99000000, "F", 5114, 5114},
      {StatusTable::kE, 0x47000000, "F70", 5031, 5005},
      {StatusTable::kE, 0x61000000, "F", 5114, 5114},
      {StatusTable::kFlatbed, 0xB1000000, "U90", 5144, 5145},
      {StatusTable::kFlatbed, 0x04000000, "F21", 5146, 5005},
      {StatusTable::kFlatbed, 0x00000001, "", 5073, 5114},
      {StatusTable::kFlatbed, 0x11000000, "F", 5146, 5005},
  };
  for (const Case& c : cases) {
    const StatusEntry& e = LookupStatus(c.table, c.code);
    EXPECT_EQ(e.short_code, c.short_code) << std::hex << c.code;
    EXPECT_EQ(e.first_line, c.first) << std::hex << c.code;
    EXPECT_EQ(e.second_line, c.second) << std::hex << c.code;
  }
}

TEST(StatusTablesTest, EveryTableEndsWithItsEndEntryAndHasNoDuplicates) {
  for (StatusTable t : {StatusTable::kDefault, StatusTable::kB, StatusTable::kC, StatusTable::kE, StatusTable::kFlatbed}) {
    const auto entries = Entries(t);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().code, kStatusEndCode);
    for (size_t i = 0; i < entries.size(); ++i)
      for (size_t j = i + 1; j < entries.size(); ++j) EXPECT_NE(entries[i].code, entries[j].code);
  }
}

TEST(StatusTablesTest, TableByModelCode) {
  for (uint8_t code : {7, 10, 21, 23, 25, 29, 32}) EXPECT_EQ(StatusTableFor(code), StatusTable::kB) << int(code);
  for (uint8_t code : {37, 38}) EXPECT_EQ(StatusTableFor(code), StatusTable::kC);
  for (uint8_t code : {33, 34, 35}) EXPECT_EQ(StatusTableFor(code), StatusTable::kE);
  for (uint8_t code : {1, 6, 12, 22, 24, 39, 44}) EXPECT_EQ(StatusTableFor(code), StatusTable::kDefault) << int(code);
}

}  // namespace
}  // namespace scanner
