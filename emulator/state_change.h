// A change of a scanner's state as a device section or a timeline step gives it:
// edits in the order given, and whether the model answers the compatible-mode read
// from then on.
#pragma once
#include <functional>
#include <vector>

#include "emulator/scanner_state.h"

namespace emulator {

using StateEdit = std::function<void(ScannerState&)>;

struct StateChange {
  std::vector<StateEdit> edits;
  bool answers_compatible_mode = false;

  bool empty() const { return edits.empty() && !answers_compatible_mode; }
};

}  // namespace emulator
