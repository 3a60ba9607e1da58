// The status tables: the most significant byte of a scanner's status code to the
// short code and the two lines the window shows.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace scanner {

struct StatusEntry {
  uint8_t code;
  std::string short_code;
  int first_line;   // string ids
  int second_line;
};

constexpr uint8_t kStatusEndCode = 0xFF;
constexpr int kIdsNoError = 5073;

enum class StatusTable { kDefault, kB, kC, kE, kFlatbed };

// The scanner table of the model code.
StatusTable StatusTableFor(uint8_t model_code);
// Ends with the kStatusEndCode entry.
std::span<const StatusEntry> Entries(StatusTable table);
// The entry of the status code's top byte; the end entry when it has none.
const StatusEntry& LookupStatus(StatusTable table, uint32_t status_code);

}  // namespace scanner
