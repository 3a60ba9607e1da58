#include "scanner/sense_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace scanner {
namespace {

// Pairs before the end marker; the marker must be the last pair.
size_t PairCount(std::span<const SensePair> table) {
  EXPECT_FALSE(table.empty());
  EXPECT_EQ(table.back().message_id, 0);
  size_t n = 0;
  while (n < table.size() && table[n].message_id != 0) ++n;
  EXPECT_EQ(n + 1, table.size());
  return n;
}

size_t Occurrences(std::span<const SensePair> table, uint32_t code) {
  size_t n = 0;
  for (const SensePair& pair : table) n += pair.message_id != 0 && pair.code == code;
  return n;
}

int MessageOf(std::span<const SensePair> table, uint8_t key, uint8_t asc, uint8_t ascq) {
  const SensePair* pair = FindSensePair(table, SenseCode(key, asc, ascq));
  return pair ? pair->message_id : 0;
}

TEST(SenseTablesTest, PairCounts) {
  EXPECT_EQ(PairCount(SenseTableC()), 133u);
  EXPECT_EQ(PairCount(SenseTableA()), 81u);
  EXPECT_EQ(PairCount(SenseTableB()), 111u);
}

TEST(SenseTablesTest, MessagesByTable) {
  struct Case {
    uint8_t key, asc, ascq;
    int a, b, c;  // 0: not in the table
  } cases[] = {
      {0x00, 0x00, 0x00, 5076, 5076, 5076},
      {0x03, 0x3A, 0x00, 5075, 5075, 5075},
      {0x03, 0x80, 0x01, 5122, 5125, 5122},
      {0x03, 0x80, 0x04, 5087, 5087, 5087},
      {0x03, 0x80, 0x05, 0, 0, 0},
      {0x03, 0x80, 0x09, 5122, 5125, 5122},
      {0x03, 0x80, 0x0A, 5128, 5128, 5128},
      {0x03, 0x80, 0x0D, 5137, 5125, 5028},
      {0x03, 0x80, 0x0F, 5138, 0, 5138},
      {0x03, 0x80, 0x11, 5140, 0, 5140},
      {0x04, 0x44, 0x82, 0, 0, 5031},
      {0x04, 0x80, 0x08, 0, 0, 5031},
      {0x05, 0x2C, 0x89, 0, 0, 5102},
      {0x05, 0x2C, 0x88, 0, 5151, 5151},
      {0x0B, 0x81, 0x00, 0, 0, 5076},
      {0x0B, 0x81, 0x0F, 0, 0, 5076},
      {0x0B, 0x81, 0x10, 0, 0, 0},
      {0x02, 0x80, 0x02, 0, 5095, 5095},
      {0x00, 0xF0, 0x00, 0, 5147, 5147},
      {0x02, 0xF0, 0x9E, 0, 5153, 5153},
      {0x02, 0xF0, 0xAD, 0, 5147, 5147},
      {0x04, 0xF0, 0xB7, 0, 5146, 5146},
      {0x02, 0xF1, 0x05, 0, 5152, 5152},
      {0x02, 0xF1, 0x07, 0, 5153, 5153},
      {0xFF, 0x01, 0x09, 5070, 5070, 5070},
      {0xFF, 0x02, 0x02, 5155, 5155, 5155},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int(c.key) << " " << int(c.asc) << " " << int(c.ascq));
    EXPECT_EQ(MessageOf(SenseTableA(), c.key, c.asc, c.ascq), c.a);
    EXPECT_EQ(MessageOf(SenseTableB(), c.key, c.asc, c.ascq), c.b);
    EXPECT_EQ(MessageOf(SenseTableC(), c.key, c.asc, c.ascq), c.c);
  }
}

// Tables A and B keep table C's order; only A drops the repeated codes.
TEST(SenseTablesTest, DerivedTablesKeepTheOrderOfTableC) {
  const auto c = SenseTableC();
  for (auto derived : {SenseTableA(), SenseTableB()}) {
    size_t next = 0;
    for (const SensePair& pair : derived) {
      if (pair.message_id == 0) break;
      while (next < c.size() && c[next].code != pair.code) ++next;
      ASSERT_LT(next, c.size()) << std::hex << pair.code;
      ++next;
    }
  }
  for (uint32_t repeated : {SenseCode(3, 0x3A, 0), SenseCode(5, 0x26, 0)}) {
    EXPECT_EQ(Occurrences(SenseTableC(), repeated), 2u);
    EXPECT_EQ(Occurrences(SenseTableB(), repeated), 2u);
    EXPECT_EQ(Occurrences(SenseTableA(), repeated), 1u);
  }
  EXPECT_EQ(SenseTableA()[80], (SensePair{SenseCode(0xFF, 0x02, 0x02), 5155}));
  EXPECT_EQ(SenseTableB()[110], (SensePair{SenseCode(0x02, 0xF1, 0x07), 5153}));
}

TEST(SenseTablesTest, FirstPairBeforeTheEndMarkerWins) {
  const SensePair table[] = {{0x030000, 1}, {0x040000, 2}, {0x030000, 3}, {0, 0}, {0x050000, 4}};
  EXPECT_EQ(FindSensePair(table, 0x030000), &table[0]);
  EXPECT_EQ(FindSensePair(table, 0x040000), &table[1]);
  EXPECT_EQ(FindSensePair(table, 0x050000), nullptr);
  EXPECT_EQ(FindSensePair(table, 0), nullptr);
  EXPECT_EQ(FindSensePair(SenseTableC(), SenseCode(3, 0x3A, 0)), &SenseTableC()[8]);
}

TEST(SenseTablesTest, ModelCodeChoosesTheTable) {
  const std::vector<int> table_a = {7, 8, 9, 10, 21, 23, 25, 26, 27, 28, 29, 32};
  for (int model = 0; model < 256; ++model) {
    const bool a = std::find(table_a.begin(), table_a.end(), model) != table_a.end();
    const bool b = model == 37 || model == 38;
    const auto expected = a ? SenseTableA() : b ? SenseTableB() : SenseTableC();
    EXPECT_EQ(SenseTableForModel(static_cast<uint8_t>(model)).data(), expected.data()) << model;
  }
}

}  // namespace
}  // namespace scanner
