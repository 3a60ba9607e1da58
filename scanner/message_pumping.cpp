#include "scanner/message_pumping.h"

#include <algorithm>
#include <cstdint>

#include "platform/clock.h"
#include "platform/message_pump.h"

namespace scanner::detail {
namespace {

constexpr platform::UINT kLastPumpedMessage = 0x380;
constexpr platform::UINT kDroppedMessage = 0xA4;  // a non-client right click
// Short enough that a click is answered at once, long enough not to spin.
constexpr uint64_t kPumpSliceMs = 20;

}  // namespace

bool PumpOneMessage() {
  platform::MSG msg;
  if (!platform::PeekMessage(&msg, nullptr, 0, kLastPumpedMessage, platform::PM_REMOVE)) return false;
  if (msg.message != kDroppedMessage) {
    platform::TranslateMessage(&msg);
    platform::DispatchMessage(&msg);
  }
  return true;
}

void SleepPumping(platform::DWORD ms) {
  const uint64_t end = platform::GetClock().Now() + ms;
  for (;;) {
    while (PumpOneMessage()) {
    }
    const uint64_t now = platform::GetClock().Now();
    if (now >= end) return;
    platform::Sleep(static_cast<platform::DWORD>(std::min(end - now, kPumpSliceMs)));
  }
}

}  // namespace scanner::detail
