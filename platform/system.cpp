#include "platform/system.h"

#include <atomic>

namespace platform::system {
namespace {
// 0 real answer, 1 forced false, 2 forced true
std::atomic<int> forced{0};
std::atomic<uint32_t> execution_state{ES_CONTINUOUS};
}  // namespace

std::optional<bool> IsWow64Process() {
  switch (forced.load()) {
    case 1: return false;
    case 2: return true;
    default: return false;
  }
}

void ForceWow64ForTest(std::optional<bool> answer) { forced.store(!answer ? 0 : (*answer ? 2 : 1)); }

uint32_t SetThreadExecutionState(uint32_t flags) { return execution_state.exchange(flags); }
uint32_t LastExecutionState() { return execution_state.load(); }

}  // namespace platform::system
