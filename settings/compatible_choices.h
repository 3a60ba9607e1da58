// Which older models a scanner can present itself as, by its own type code.
#pragma once
#include <cstdint>
#include <vector>

namespace settings {

struct CompatibleChoice {
  uint8_t code;   // written as the presented model
  int string_id;  // the name shown
};

// In list order; empty for a type code without choices.
std::vector<CompatibleChoice> CompatibleChoices(uint8_t own_type_code);

}  // namespace settings
