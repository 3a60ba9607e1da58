// The scanner's feed-test settings, decoded from the test-settings answer, and their texts.
#pragma once
#include <cstdint>
#include <string>

#include "scanner/diagnostic_commands.h"

namespace scanner {

struct TestSettings {
  uint8_t test_mode = 0;
  uint16_t resolution = 150;
  uint8_t image_type = 0;  // 0-5: see ImageTypeText
  uint8_t speed = 1;
  uint8_t paper_size = 0;  // index into the model's paper list
  uint8_t length_control = 1;
  uint8_t double_feed = 1;
  uint8_t stapled = 0;
  uint8_t imprinter_bits = 0;
  uint8_t dropout = 0;
  uint8_t sides = 0;
  uint8_t interval_on = 1;
  uint8_t interval_mm = 10;
  uint16_t interval_ms = 100;
  uint8_t reduction = 0;  // 0 none, 1-3: 1/2, 1/3, 1/4
};

// The answer converted for the model code (its 16- or 18-byte form).
TestSettings DecodeTestSettings(const TestSettingsBlock& block, uint8_t model_code);

std::string TestModeText(const TestSettings& s);
std::string ImageTypeText(const TestSettings& s);
std::string SpeedText(const TestSettings& s, uint8_t model_code);
std::string PaperSizeText(const TestSettings& s, uint8_t model_code);
std::string ResolutionText(const TestSettings& s);
std::string LengthControlText(const TestSettings& s);
std::string DoubleFeedText(const TestSettings& s, uint8_t model_code);
std::string StapledText(const TestSettings& s);
// bit 0 or 4 of the imprinter bits.
std::string ImprinterBitText(const TestSettings& s, int bit);
std::string DropoutText(const TestSettings& s);
std::string SidesText(const TestSettings& s);
std::string IntervalText(const TestSettings& s);
std::string ReductionText(const TestSettings& s);

}  // namespace scanner
