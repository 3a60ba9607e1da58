// The model table: product identification prefixes and their model codes.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace scanner {

struct ModelRow {
  const char* name;
  uint8_t code;
};

std::span<const ModelRow> ModelTable();

// The code of the first row whose name the product identification begins with
// (case-sensitive, over the name's length); 0 when none does.
uint8_t LookupModelCode(std::string_view product);

}  // namespace scanner
