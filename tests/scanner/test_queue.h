// A message queue for the command layer's pumping: hands out what a test put in,
// each message from its clock time on, and records what was dispatched and when.
#pragma once
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/message_pump.h"

namespace scanner::testing {

class TestQueue : public platform::MessageQueue {
 public:
  TestQueue() { platform::SetMessageQueue(this); }
  ~TestQueue() override { platform::SetMessageQueue(nullptr); }
  void Post(platform::UINT message) { PostAt(0, message); }
  // Pending once the clock has reached clock_ms.
  void PostAt(uint64_t clock_ms, platform::UINT message) { pending.push_back({clock_ms, message}); }

  bool Peek(platform::MSG& msg, platform::UINT min, platform::UINT max, bool remove) override {
    const uint64_t now = platform::GetClock().Now();
    for (auto it = pending.begin(); it != pending.end(); ++it) {
      if (it->first > now || it->second < min || it->second > max) continue;
      msg = {};
      msg.message = it->second;
      if (remove) pending.erase(it);
      return true;
    }
    return false;
  }
  void Translate(const platform::MSG& msg) override { translated.push_back(msg.message); }
  void Dispatch(const platform::MSG& msg) override {
    dispatched.push_back(msg.message);
    dispatched_at.push_back(platform::GetClock().Now());
  }

  std::vector<platform::UINT> Pending() const {
    std::vector<platform::UINT> messages;
    for (const auto& [at, message] : pending) messages.push_back(message);
    return messages;
  }

  std::deque<std::pair<uint64_t, platform::UINT>> pending;
  std::vector<platform::UINT> translated, dispatched;
  std::vector<uint64_t> dispatched_at;
};

}  // namespace scanner::testing
