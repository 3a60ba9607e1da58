// The illustration list: lines, fields, fixed widths, bad numbers and record matching.
#include <gtest/gtest.h>

#include <random>

#include "errview/illust_list.h"

namespace errview {
namespace {

std::vector<std::pair<std::string, std::string>> Files(const CIllustInfo& record) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const ILLUST_FILES& f : record.files) files.emplace_back(f.file_a.str(), f.file_b.str());
  return files;
}

TEST(IllustList, LinesFieldsAndPairs) {
  const auto records = ParseIllustList(
      "U11,1,2,a.bmp,b.bmp,,,c.bmp\r\rU12,-0,+1,\"x,\"\"y\"\"\",z\n\r\nU13,0,0\r\n");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].key.str(), "U11");
  EXPECT_TRUE(records[0].flag);
  EXPECT_EQ(records[0].manual_variant, 2);
  // The empty pair is skipped, a last file A stands alone.
  EXPECT_EQ(Files(records[0]), (std::vector<std::pair<std::string, std::string>>{{"a.bmp", "b.bmp"}, {"c.bmp", ""}}));
  EXPECT_FALSE(records[1].flag);
  EXPECT_EQ(Files(records[1]), (std::vector<std::pair<std::string, std::string>>{{"x,\"y\"", "z"}}));
  EXPECT_TRUE(records[2].files.empty());
}

TEST(IllustList, ABadNumberEmptiesTheWholeList) {
  for (const char* bad : {"U11,x,0,a", "U11,0,1.5,a", "U11,,0,a", "U11,0", "U11", "U11, 1,0,a", "U11,+,0,a", "U11,0,-,a"}) {
    const std::string list = std::string("U10,0,0,a.bmp\r\n") + bad + "\r\nU12,0,0,b.bmp\r\n";
    EXPECT_TRUE(ParseIllustList(list).empty()) << bad;
  }
  EXPECT_EQ(ParseIllustList("U11,99999999999999999999,-99999999999999999999,a").size(), 1u);
}

TEST(IllustList, FixedWidthsAreNeverOverrun) {
  const std::string key(40, 'K');
  const std::string file(200, 'f');
  // A two-byte character straddling the 63rd byte is left out whole.
  const std::string wide = std::string(62, 'w') + "\xC3\xA9" + "tail";
  const auto records = ParseIllustList(key + ",0,0," + file + "," + wide + "\r\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].key.str(), std::string(kKeyChars, 'K'));
  EXPECT_EQ(records[0].files[0].file_a.str(), std::string(kFileChars, 'f'));
  EXPECT_EQ(records[0].files[0].file_b.str(), std::string(62, 'w'));
  // Lines of any length.
  const std::string long_line = "U11,0,0," + std::string(100000, 'a') + ",b\n";
  EXPECT_EQ(ParseIllustList(long_line).size(), 1u);
}

TEST(IllustList, MatchingExactKeysAndPatterns) {
  const auto pattern_first = ParseIllustList("uxx,0,1,p.bmp\r\nU11,0,2,e.bmp\r\nJ1XX,0,0,j.bmp\r\n");
  EXPECT_EQ(ManualVariant(pattern_first, "U11"), 2);  // an exact key after the pattern wins
  EXPECT_EQ(ManualVariant(pattern_first, "U12"), 1);  // the pattern, upper-cased
  EXPECT_EQ(IllustrationCount(pattern_first, "u11"), 0);  // a lower-case error type matches nothing
  EXPECT_EQ(IllustrationCount(pattern_first, "J"), 1);
  EXPECT_EQ(IllustrationCount(pattern_first, ""), 0);

  const auto exact_first = ParseIllustList("U11,0,2,e.bmp\r\nUXX,0,1,p.bmp,q.bmp\r\nU2XX,0,3,r.bmp\r\n");
  EXPECT_EQ(ManualVariant(exact_first, "U11"), 2);  // the scan stops at the exact key
  EXPECT_EQ(ManualVariant(exact_first, "U13"), 3);  // the last pattern counts
  EXPECT_EQ(IllustrationCount(exact_first, "E11"), 0);
}

TEST(IllustList, IllustrationIndexFallsBackToTheFirst) {
  const auto records = ParseIllustList("U11,0,0,a1,b1,a2,b2\r\nU12,0,0\r\n");
  const Illustration none{5, "old-a", "old-b"};
  EXPECT_EQ(IllustrationAt(records, "U11", 1, none).file_b, "b2");
  const Illustration beyond = IllustrationAt(records, "U11", 2, none);
  EXPECT_EQ(beyond.index, 0);
  EXPECT_EQ(beyond.file_a, "a1");
  // No match, or a record without illustrations: the files stay as they were.
  EXPECT_EQ(IllustrationAt(records, "E11", 0, none).file_a, "old-a");
  EXPECT_EQ(IllustrationAt(records, "U12", 0, none).file_b, "old-b");
}

TEST(IllustList, HostileBytesNeverCrash) {
  const std::vector<std::string> hostile = {
      std::string(), std::string(1, '\0'), "\"", "\"\"\"", ",,,,,,", "\r\n\r\n\n\r", std::string(10000, '"'),
      std::string(10000, ','), "U11,0,0,\"unterminated", std::string("U11,0,0,a\0b,c", 13), "\xFF\xFE\xC3",
      "U11,0,0," + std::string(64, '\xC3'), "XX,0,0,a\r\nXXXX,0,0,b",
  };
  for (const std::string& bytes : hostile) {
    const auto records = ParseIllustList(bytes);
    for (const CIllustInfo& r : records) {
      EXPECT_LE(r.key.view().size(), kKeyChars);
      MatchRecord(records, r.key.view());
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 300, '\0');
    for (char& c : bytes) c = "U1X,\"\r\n0+-a\xC3\xA9"[random() % 14];
    for (const CIllustInfo& r : ParseIllustList(bytes))
      for (const ILLUST_FILES& f : r.files) EXPECT_LE(f.file_a.view().size(), kFileChars);
  }
}

}  // namespace
}  // namespace errview
