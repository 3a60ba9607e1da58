// What every operation of the command layer shares: the TEST UNIT READY that comes
// first, the judging of the result, and the simulated scanner's values.
#pragma once
#include <cstdint>
#include <string_view>

namespace scanner::detail {

// TEST UNIT READY with its result ignored.
void SendReady(uint8_t ha, uint8_t target);

// Quiet: any non-zero result fails silently; otherwise the result is shown.
bool Judge(uint16_t result, bool quiet);

bool Simulated();
// A simulated value: the Debug key of scUtil.ini, read as an integer.
int SimValue(std::string_view key, int def);

}  // namespace scanner::detail
