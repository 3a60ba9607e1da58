#include "platform/system.h"

#include <atomic>

namespace platform::system {
namespace {
// 0 real answer, 1 forced false, 2 forced true
std::atomic<int> forced{0};
}  // namespace

std::optional<bool> IsWow64Process() {
  switch (forced.load()) {
    case 1: return false;
    case 2: return true;
    default: return false;
  }
}

void ForceWow64ForTest(std::optional<bool> answer) { forced.store(!answer ? 0 : (*answer ? 2 : 1)); }

}  // namespace platform::system
