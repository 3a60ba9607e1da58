#include <gtest/gtest.h>

#include <cstring>

#include "device/device_record.h"
#include "device/request_block.h"

namespace device {
namespace {

std::array<uint8_t, 96> InquiryOf(const char* vendor, const char* product) {
  std::array<uint8_t, 96> inquiry{};
  std::memset(inquiry.data() + 8, ' ', 28);
  std::memcpy(inquiry.data() + 8, vendor, std::strlen(vendor));
  std::memcpy(inquiry.data() + 16, product, std::strlen(product));
  return inquiry;
}

TEST(InquiryFilterTest, PrefixWildcardAndEmptyPatterns) {
  const auto inquiry = InquiryOf("VORANTEK", "DE-T4783Z");
  struct Case {
    const char* vendor;
    const char* product;
    bool match;
  } cases[] = {
      {"", "", true},
      {"", "DE-T", true},
      {"VORANTEK", "DE-T4783Z", true},
      {"VORANTEK", "DE-T4783Z ", true},  // the identification is space-padded
      {"VORANTEK", "DE-T4783ZA", false},
      {"Q.M.X.", "DE-T", false},
      {"VOR", "", true},
      {"\xFF\xFF\xFF\xFFNTEK", "DE-T\xFF\xFF\xFF\xFFZ", true},
      {"vorantek", "", false},  // bytes compare exactly
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesInquiryFilter(inquiry.data(), MakeInquiryFilter(c.vendor, c.product)), c.match)
        << c.vendor << "/" << c.product;
  }
}

TEST(InquiryFilterTest, OverlongPatternsAreCutToTheirFields) {
  const InquiryFilter f = MakeInquiryFilter("VORANTEKXYZ", "DE-T4783Z-and-more-than-16");
  EXPECT_EQ(f.vendor[8], 0);
  EXPECT_EQ(f.product[16], 0);
  EXPECT_EQ(std::string(f.vendor), "VORANTEK");
  EXPECT_EQ(std::string(f.product), "DE-T4783Z-and-mo");
}

TEST(StiFilterTest, ComparesUntilEitherStringEnds) {
  struct Case {
    const char* vendor;
    const char* device;
    const char* pattern_vendor;
    const char* pattern_device;
    bool match;
  } cases[] = {
      {"Quorvex", "DE-T4783Z", "Quorvex", "DE-T", true},
      {"Quorvex", "DE-T4783Z", "", "", true},
      {"Other", "DE-T4783Z", "Quorvex", "DE-T", false},
      {"Quorvex", "XX-T4783Z", "Quorvex", "DE-T", false},
      {"Quorvex", "DE", "Quorvex", "DE-T", true},  // the shorter description ends first
      {"", "", "Quorvex", "DE-T", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesStiFilter(c.vendor, c.device, MakeStiFilter(c.pattern_vendor, c.pattern_device)), c.match)
        << c.vendor << "/" << c.device;
  }
}

TEST(SenseTest, DecodesFixedFormatFields) {
  uint8_t area[16] = {0x70, 0, 0x40 | 0x20 | 0x03, 0x12, 0x34, 0x56, 0x78, 10, 0, 0, 0, 0, 0x3A, 0x01};
  const SenseRecord sense = DecodeSense(area);
  EXPECT_EQ(sense.end_of_medium, 0x40);
  EXPECT_EQ(sense.incorrect_length, 0x20);
  EXPECT_EQ(sense.sense_key, 3);
  EXPECT_EQ(sense.asc, 0x3A);
  EXPECT_EQ(sense.ascq, 0x01);
  EXPECT_EQ(sense.information, 0x12345678u);
}

}  // namespace
}  // namespace device
