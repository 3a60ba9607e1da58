#include "scanner/test_settings.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

TestSettingsBlock Block(uint32_t length, std::initializer_list<std::pair<int, uint8_t>> bytes) {
  TestSettingsBlock block;
  block.length = length;
  for (auto [index, value] : bytes) block.bytes[index] = value;
  return block;
}

TEST(TestSettingsTest, PaperCodesFollowTheModelsListAndTexts) {
  struct Case {
    uint8_t model;
    uint8_t device_code;
    uint8_t member;
    const char* text;
  } const cases[] = {
      {14, 3, 2, "A4"},      // long list, short texts
      {12, 3, 2, "A3"},      // long list, long texts
      {12, 16, 10, "Minimum"},
      {39, 4, 2, "A4"},      // short list
      {39, 3, 0, "Letter"},  // not in the short list
      {5, 16, 8, "Minimum"},
  };
  for (const Case& c : cases) {
    const TestSettings s = DecodeTestSettings(Block(TestSettingsLength(c.model), {{6, c.device_code}}), c.model);
    EXPECT_EQ(s.paper_size, c.member) << int(c.model) << " " << int(c.device_code);
    EXPECT_EQ(PaperSizeText(s, c.model), c.text);
  }
}

TEST(TestSettingsTest, TheLongFormSplitsDetectionAndAddsReduction) {
  const TestSettings s = DecodeTestSettings(
      Block(18, {{1, 2}, {2, 0x01}, {3, 0x2C}, {4, 136}, {5, 1}, {7, 0}, {8, 0x0B}, {9, 2}, {10, 1}, {11, 0x10},
                 {12, 1}, {13, 25}, {14, 0x01}, {15, 0xF4}, {16, 19}}),
      13);
  EXPECT_EQ(TestModeText(s), "Imitation Feed Test");
  EXPECT_EQ(ResolutionText(s), "300");
  EXPECT_EQ(ImageTypeText(s), "8 bit & 1 bit");
  EXPECT_EQ(SpeedText(s, 13), "Low");
  EXPECT_EQ(SpeedText(s, 39), "Fast");
  EXPECT_EQ(LengthControlText(s), "Disable");
  EXPECT_EQ(DoubleFeedText(s, 13), "ON:Stop");  // bits 0-1 = 3
  EXPECT_EQ(StapledText(s), "ON:Enhanced");   // bits 2-3 = 2
  EXPECT_EQ(DropoutText(s), "Green");
  EXPECT_EQ(SidesText(s), "Both sides");
  EXPECT_EQ(ImprinterBitText(s, 0), "Disable");
  EXPECT_EQ(ImprinterBitText(s, 4), "Enable");
  EXPECT_EQ(IntervalText(s), "25 mm 500 msec");
  EXPECT_EQ(ReductionText(s), "1/3");
}

TEST(TestSettingsTest, TheShortFormKeepsTheWholeDetectionByte) {
  const TestSettings s = DecodeTestSettings(Block(16, {{8, 0x05}, {12, 0}, {16, 19}}), 39);
  EXPECT_EQ(s.double_feed, 5);
  EXPECT_EQ(DoubleFeedText(s, 39), "ON");
  EXPECT_EQ(DoubleFeedText(s, 33), "ON:Stop");
  EXPECT_EQ(StapledText(s), "OFF");
  EXPECT_EQ(IntervalText(s), "Disable");
  EXPECT_EQ(ReductionText(s), "1/1");
}

TEST(TestSettingsTest, UnknownCodesGiveTheFirstEntryOrNothing) {
  const TestSettings s = DecodeTestSettings(Block(16, {{1, 4}, {4, 2}, {9, 7}, {10, 5}}), 39);
  EXPECT_EQ(TestModeText(s), "");
  EXPECT_EQ(ImageTypeText(s), "Black & White");
  EXPECT_EQ(DropoutText(s), "");
  EXPECT_EQ(SidesText(s), "");
}

TEST(TestSettingsTest, LengthByModelCode) {
  for (uint8_t code : {12, 20, 29, 32, 37, 43}) EXPECT_EQ(TestSettingsLength(code), 18u) << int(code);
  for (uint8_t code : {1, 10, 30, 31, 33, 35, 44}) EXPECT_EQ(TestSettingsLength(code), 16u) << int(code);
}

}  // namespace
}  // namespace scanner
