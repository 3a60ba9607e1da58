// The scanner message that explains a sense code, by the model's explanation table.
#pragma once
#include <cstdint>
#include <string>

namespace scanner {

// The model code of the last identified scanner; it chooses the explanation table.
// 0 (no identification yet) means table C.
void SetSenseModelCode(uint8_t model_code);
uint8_t SenseModelCode();

// The text for a sense code (SenseCode(key, asc, ascq)); flatbed unit errors carry
// their number, and a code without a text gets the generic "Scanner Error" message.
std::string SenseMessage(uint32_t sense_code);

}  // namespace scanner
