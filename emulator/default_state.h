// The state a scanner of each model starts with: plausible counters, settings,
// versions and options, the same on every run.
#pragma once
#include <array>
#include <cstdint>

#include "emulator/scanner_state.h"

namespace emulator {

ScannerState DefaultState(uint8_t model);

// Serial-presence-detect data of an SDRAM module of that size (0: no module).
std::array<uint8_t, kSpdSize> SpdForModule(uint16_t megabytes);

}  // namespace emulator
