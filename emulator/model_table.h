// The scanner's own idea of which model it is: the model code its firmware was
// built for, found from the product identification, and the families of codes
// whose members share a data layout.
#pragma once
#include <cstdint>
#include <string_view>

namespace emulator {

constexpr uint8_t kUnknownModel = 0;
constexpr uint8_t kFlatbedUnitModel = 44;

// The model code of the first product prefix the identification begins with;
// kUnknownModel for a product of another family.
uint8_t ModelCodeForProduct(std::string_view product);

// Codes 30 and 31 are built as 28 and 29; the layout rules use this code.
uint8_t LayoutCode(uint8_t model);

// The families, by layout code.
bool IsEarly(uint8_t model);           // 1-10
bool IsProduction(uint8_t model);      // 12, 14-16, 25-27, 32
bool IsWideBody(uint8_t model);        // 13, 17-24, 28, 29
bool IsInterfaceBoard(uint8_t model);  // 33-35
bool IsCompact(uint8_t model);         // 37-43
bool IsFlatbedCapable(uint8_t model);  // 2, 4-6, 14, 16-20, 22, 37-43: a flatbed unit can be attached
bool IsKnownModel(uint8_t model);      // 1-10, 12-35, 37-44

}  // namespace emulator
