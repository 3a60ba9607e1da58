// One scripted step of a device's timeline: at a time, change its state, unplug it,
// plug it back, or let another program hold its lock for a while.
#pragma once
#include <cstdint>

#include "emulator/state_change.h"

namespace emulator {

enum class StepAction {
  kChangeState,
  kUnplug,
  kPlug,
  kHoldLock,  // lock attempts fail as held elsewhere until lock_until
};

// Times are milliseconds on the platform clock after the bus was created.
struct TimelineStep {
  uint64_t at = 0;
  StepAction action = StepAction::kChangeState;
  StateChange change;
  uint64_t lock_until = 0;
};

TimelineStep ChangeStep(uint64_t at, StateChange change);
TimelineStep UnplugStep(uint64_t at);
TimelineStep PlugStep(uint64_t at);
TimelineStep HoldLockStep(uint64_t from, uint64_t until);

}  // namespace emulator
