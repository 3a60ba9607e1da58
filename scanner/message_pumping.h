// Keeping the window alive while the command layer waits for the scanner: the
// thread's pending messages are handled between polls and during pauses.
#pragma once
#include "platform/win_types.h"

namespace scanner::detail {

// Handles one pending message numbered 0 to 0x380 (a non-client right click is
// dropped); false when none was pending.
bool PumpOneMessage();
// Waits ms on the clock, handling the thread's messages as they come.
void SleepPumping(platform::DWORD ms);

}  // namespace scanner::detail
