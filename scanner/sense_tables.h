// The explanation tables that map a sense code to a scanner message: table C for most
// models, tables A and B for two model groups, derived from C.
#pragma once
#include <cstdint>
#include <span>

namespace scanner {

// (sense key << 16) | (ASC << 8) | ASCQ.
constexpr uint32_t SenseCode(uint8_t key, uint8_t asc, uint8_t ascq) {
  return static_cast<uint32_t>(key) << 16 | static_cast<uint32_t>(asc) << 8 | ascq;
}
constexpr uint8_t SenseKeyOf(uint32_t code) { return static_cast<uint8_t>(code >> 16); }
constexpr uint8_t AscOf(uint32_t code) { return static_cast<uint8_t>(code >> 8); }
constexpr uint8_t AscqOf(uint32_t code) { return static_cast<uint8_t>(code); }

struct SensePair {
  uint32_t code;
  int message_id;  // 0 ends a table
  friend bool operator==(const SensePair&, const SensePair&) = default;
};

// Each table ends with a pair whose message id is 0.
std::span<const SensePair> SenseTableA();
std::span<const SensePair> SenseTableB();
std::span<const SensePair> SenseTableC();
// The table that explains the sense of a scanner with this model code.
std::span<const SensePair> SenseTableForModel(uint8_t model_code);

// The first pair with this code before the end of the table; null when there is none.
const SensePair* FindSensePair(std::span<const SensePair> table, uint32_t code);

}  // namespace scanner
