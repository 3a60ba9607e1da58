// Reads and writes behind the feed test, the sensors and the shading adjustment.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace scanner {

constexpr uint32_t kShortTestSettings = 16;
constexpr uint32_t kLongTestSettings = 18;

// The raw test-settings answer; length is 16 or 18 by model code.
struct TestSettingsBlock {
  std::array<uint8_t, kLongTestSettings> bytes{};
  uint32_t length = kShortTestSettings;
};

// Values in tenths; a value the model does not report stays empty.
struct PositionValues {
  std::array<std::optional<double>, 11> p;  // P1-P11
  std::array<std::optional<double>, 4> x;   // X1-X4
};

struct SensorLevels {
  std::array<uint16_t, 6> words{};   // 18-byte form
  std::array<uint8_t, 16> bytes{};   // 36-byte form: answer bytes 0-7 and 18-25
};

// The test settings' length for the model code.
uint32_t TestSettingsLength(uint8_t model_code);
// The position values' length for the model code.
uint32_t PositionValuesLength(uint8_t model_code);

int ReadTestSettings(uint8_t ha, uint8_t target, uint8_t model_code, TestSettingsBlock& block, bool quiet);
int ReadPositionValues(uint8_t ha, uint8_t target, uint8_t model_code, PositionValues& values);
int ReadWord4B(uint8_t ha, uint8_t target, uint16_t& value);
// levels[0] is value 1 (answer byte 5) ... levels[5] value 6 (answer byte 0).
int ReadBentPaperLevels(uint8_t ha, uint8_t target, std::array<uint8_t, 6>& levels);
// length 4 (bytes 0-3) or 6 (bytes 0-4); prepared with the service mode.
int ReadKeySensorState(uint8_t ha, uint8_t target, uint32_t length, std::array<uint8_t, 5>& state, bool quiet);
// length 18 (prepared) or 36.
int ReadSensorLevels(uint8_t ha, uint8_t target, uint32_t length, SensorLevels& levels);
// Starts the scanner's shading adjustment; option is bit 0 of byte 1.
int StartAdjustment(uint8_t ha, uint8_t target, uint8_t option);
int ReadReferencePlateState(uint8_t ha, uint8_t target, bool& front_dirty, bool& back_dirty);

}  // namespace scanner
