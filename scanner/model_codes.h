// Sets of model codes: most behaviour branches on explicit lists of codes.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace scanner {

class ModelSet {
 public:
  constexpr ModelSet() = default;
  constexpr ModelSet(std::initializer_list<uint8_t> codes) {
    for (uint8_t c : codes) bits_ |= Bit(c);
  }
  static constexpr ModelSet Range(uint8_t first, uint8_t last) {
    ModelSet set;
    for (unsigned c = first; c <= last; ++c) set.bits_ |= Bit(static_cast<uint8_t>(c));
    return set;
  }
  constexpr ModelSet operator|(ModelSet other) const {
    ModelSet set;
    set.bits_ = bits_ | other.bits_;
    return set;
  }
  constexpr ModelSet operator~() const {
    ModelSet set;
    set.bits_ = ~bits_;
    return set;
  }
  constexpr bool Has(uint8_t code) const { return (bits_ & Bit(code)) != 0; }

 private:
  static constexpr uint64_t Bit(uint8_t code) { return code < 64 ? uint64_t{1} << code : 0; }
  uint64_t bits_ = 0;
};

// The families that recur across the program.
inline constexpr ModelSet kEarlyFamily = ModelSet::Range(1, 10);
inline constexpr ModelSet kProductionFamily = {12, 14, 15, 16, 25, 26, 27, 32};
inline constexpr ModelSet kWideBodyFamily = ModelSet{13, 28, 29} | ModelSet::Range(17, 24);
inline constexpr ModelSet kInterfaceBoardFamily = {33, 34, 35};
inline constexpr ModelSet kCompactFamily = ModelSet::Range(37, 43);

// Models that can carry a flatbed unit.
inline constexpr ModelSet kFlatbedCapable = ModelSet{2, 4, 5, 6, 14, 22} | ModelSet::Range(16, 20) | kCompactFamily;
// Models with a paper feed roller counted apart from the other rollers.
inline constexpr ModelSet kPaperFeedRollerModels = {37, 38};

constexpr uint8_t kFlatbedModelCode = 44;

}  // namespace scanner
