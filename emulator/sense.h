// Fixed-format sense data as the scanner returns it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace emulator {

struct Sense {
  uint8_t key = 0;  // 0-15
  uint8_t asc = 0;
  uint8_t ascq = 0;
  uint32_t information = 0;
  bool end_of_medium = false;
  bool incorrect_length = false;
  friend bool operator==(const Sense&, const Sense&) = default;
};

constexpr uint8_t kSenseNoSense = 0x00;
constexpr uint8_t kSenseNotReady = 0x02;
constexpr uint8_t kSenseMediumError = 0x03;  // with ASC 0x3A: no paper
constexpr uint8_t kSenseIllegalRequest = 0x05;
constexpr uint8_t kAscInvalidOpcode = 0x20;
constexpr uint8_t kAscInvalidFieldInCdb = 0x24;

// 18 bytes: 0x70, sense key with the end-of-medium (0x40) and incorrect-length (0x20)
// bits, information big-endian in bytes 3-6, additional length 10, ASC, ASCQ.
constexpr size_t kSenseSize = 18;
std::array<uint8_t, kSenseSize> EncodeSense(const Sense& sense);

}  // namespace emulator
