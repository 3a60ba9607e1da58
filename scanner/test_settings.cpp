#include "scanner/test_settings.h"

#include <span>

#include "platform/bytes.h"
#include "platform/format.h"
#include "scanner/model_codes.h"

namespace scanner {
namespace {

struct CodeMap {
  uint8_t device;
  uint8_t member;
};

constexpr CodeMap kImageTypes[] = {{1, 0}, {4, 1}, {8, 2}, {24, 3}, {136, 4}, {152, 5}};
constexpr CodeMap kLongPaperList[] = {{15, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {12, 6}, {13, 7}, {14, 8}, {1, 9}, {16, 10}};
constexpr CodeMap kShortPaperList[] = {{15, 1}, {4, 2}, {5, 3}, {6, 4}, {13, 5}, {14, 6}, {1, 7}, {16, 8}};
constexpr CodeMap kReductions[] = {{18, 1}, {19, 2}, {20, 3}};

constexpr const char* kLongPaperTexts[] = {"Letter", "Legal", "A3", "A4", "A5", "A6",
                                           "B4", "B5", "B6", "BusinessCard", "Minimum"};
constexpr const char* kShortPaperTexts[] = {"Letter", "Legal", "A4", "A5", "A6", "B5", "B6", "BusinessCard", "Minimum"};

constexpr ModelSet kLowSpeedModels = ModelSet::Range(12, 29) | ModelSet{32};
constexpr ModelSet kLongPaperListModels = kLowSpeedModels;
constexpr ModelSet kLongPaperTextModels = ModelSet{12, 13, 15, 16, 18, 32} | ModelSet::Range(20, 29);
constexpr ModelSet kOnOffDoubleFeed = kEarlyFamily | kCompactFamily;

uint8_t Map(std::span<const CodeMap> map, uint8_t device, uint8_t other) {
  for (const CodeMap& entry : map) {
    if (entry.device == device) return entry.member;
  }
  return other;
}

template <size_t N>
std::string Pick(const char* const (&texts)[N], unsigned index) {
  return index < N ? texts[index] : "";
}

std::string EnableText(bool on) { return on ? "Enable" : "Disable"; }

}  // namespace

TestSettings DecodeTestSettings(const TestSettingsBlock& block, uint8_t model_code) {
  const uint8_t* b = block.bytes.data();
  const bool long_form = block.length == kLongTestSettings;
  TestSettings s;
  s.test_mode = b[1];
  s.resolution = platform::bytes::GetBE16(b + 2);
  s.image_type = Map(kImageTypes, b[4], 0);
  s.speed = b[5];
  s.paper_size = kLongPaperListModels.Has(model_code) ? Map(kLongPaperList, b[6], 0) : Map(kShortPaperList, b[6], 0);
  s.length_control = b[7];
  s.double_feed = long_form ? (b[8] & 0x03) : b[8];
  s.stapled = long_form ? ((b[8] >> 2) & 0x03) : 0;
  s.dropout = b[9];
  s.sides = b[10];
  s.imprinter_bits = b[11];
  s.interval_on = b[12];
  s.interval_mm = b[13];
  s.interval_ms = platform::bytes::GetBE16(b + 14);
  s.reduction = long_form ? Map(kReductions, b[16], 0) : 0;
  return s;
}

std::string TestModeText(const TestSettings& s) {
  switch (s.test_mode) {
    case 0: return "NONE";
    case 1: return "Feed Test";
    case 2: return "Imitation Feed Test";
    case 3: return "Aging";
    case 5: return "Flat Bed";
    default: return {};
  }
}

std::string ImageTypeText(const TestSettings& s) {
  static constexpr const char* kTexts[] = {"Black & White", "16-Level Gray", "256-Level Gray",
                                           "24 bit Color",  "8 bit & 1 bit", "24 bit & 1 bit"};
  return Pick(kTexts, s.image_type);
}

std::string SpeedText(const TestSettings& s, uint8_t model_code) {
  if (s.speed == 0) return "Normal";
  return kLowSpeedModels.Has(model_code) ? "Low" : "Fast";
}

std::string PaperSizeText(const TestSettings& s, uint8_t model_code) {
  return kLongPaperTextModels.Has(model_code) ? Pick(kLongPaperTexts, s.paper_size) : Pick(kShortPaperTexts, s.paper_size);
}

std::string ResolutionText(const TestSettings& s) { return platform::Format("%d", s.resolution); }

std::string LengthControlText(const TestSettings& s) { return EnableText(s.length_control != 0); }

std::string DoubleFeedText(const TestSettings& s, uint8_t model_code) {
  if (kOnOffDoubleFeed.Has(model_code)) return s.double_feed ? "ON" : "OFF";
  switch (s.double_feed) {
    case 0: return "OFF";
    case 1: return "ON:Buzzer";
    default: return "ON:Stop";
  }
}

std::string StapledText(const TestSettings& s) {
  switch (s.stapled) {
    case 0: return "OFF";
    case 1: return "ON:Standerd";
    default: return "ON:Enhanced";
  }
}

std::string ImprinterBitText(const TestSettings& s, int bit) { return EnableText((s.imprinter_bits >> bit) & 1); }

std::string DropoutText(const TestSettings& s) {
  static constexpr const char* kTexts[] = {"White", "Red", "Green", "Blue"};
  return Pick(kTexts, s.dropout);
}

std::string SidesText(const TestSettings& s) {
  static constexpr const char* kTexts[] = {"One side", "Both sides"};
  return Pick(kTexts, s.sides);
}

std::string IntervalText(const TestSettings& s) {
  return s.interval_on ? platform::Format("%d mm %d msec", s.interval_mm, s.interval_ms) : "Disable";
}

std::string ReductionText(const TestSettings& s) {
  static constexpr const char* kTexts[] = {"1/1", "1/2", "1/3", "1/4"};
  return Pick(kTexts, s.reduction);
}

}  // namespace scanner
