#include "scanner/sense_message.h"

#include <atomic>

#include "platform/format.h"
#include "resources/app_resources.h"
#include "scanner/sense_tables.h"

namespace scanner {

namespace {

constexpr int kIdsFlatbedCommunicationError = 5147;
constexpr int kIdsScannerErrorCode = 5115;

constexpr uint8_t kAscFlatbed = 0xF0;
constexpr uint8_t kAscFlatbedInterface = 0xF1;

std::atomic<uint8_t> g_model_code{0};

std::string ErrorNumber(unsigned number) { return platform::Format("\r\n(%03d)", number); }

// The number a flatbed unit error carries, or an empty text for other codes.
std::string FlatbedErrorNumber(uint32_t code) {
  const uint8_t key = SenseKeyOf(code);
  if (key != 2 && key != 4) return {};
  if (AscOf(code) == kAscFlatbed) return ErrorNumber(AscqOf(code));
  if (AscOf(code) == kAscFlatbedInterface) return ErrorNumber(AscqOf(code) + 256u);
  return {};
}

}  // namespace

void SetSenseModelCode(uint8_t model_code) { g_model_code = model_code; }
uint8_t SenseModelCode() { return g_model_code; }

std::string SenseMessage(uint32_t sense_code) {
  std::string text;
  if (const SensePair* pair = FindSensePair(SenseTableForModel(SenseModelCode()), sense_code)) {
    text = resources::LoadString(pair->message_id) + FlatbedErrorNumber(sense_code);
  } else if (SenseKeyOf(sense_code) == 2 && AscOf(sense_code) == kAscFlatbed) {
    text = resources::LoadString(kIdsFlatbedCommunicationError) + ErrorNumber(AscqOf(sense_code));
  }
  if (text.empty())
    text = resources::FormatString(kIdsScannerErrorCode,
                                   {SenseKeyOf(sense_code), AscOf(sense_code), AscqOf(sense_code)});
  return text;
}

}  // namespace scanner
