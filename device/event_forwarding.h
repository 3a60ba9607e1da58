// Forwarding of a locked still-image scanner's events: a thread subscribes to the
// device's events and asks the still-image service to launch the applications
// registered for them.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sti/sti.h"

namespace device {

enum class ForwardingState : uint8_t { kWaiting = 0, kHandling = 1, kStopRequested = 2, kEnded = 3, kStarting = 4 };

// Event kinds from a notification's identifier: 2 start/stop button, 1 feeder loaded,
// 3 a known event that launches nothing, 0 any other.
int EventKind(const platform::GUID& id);

class EventForwarding {
 public:
  ~EventForwarding() { Stop(); }
  // device_name: the current record's internal name (at most 64 characters are used).
  // Returns 0, or 4 when the event or the thread cannot be created; StartError() then
  // holds the system's error code.
  int Start(const std::u16string& device_name, std::shared_ptr<platform::sti::StiDevice> device,
            std::shared_ptr<platform::sti::StillImage> sti, bool wow64);
  platform::DWORD StartError() const { return start_error_; }
  // Waits for an event being handled to finish, then ends the thread.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  ForwardingState State();

 private:
  void Run();
  void Handle();
  void SetState(ForwardingState state);

  std::u16string device_name_;
  platform::HANDLE wake_up_ = nullptr;
  std::shared_ptr<platform::sti::StiDevice> device_;
  std::shared_ptr<platform::sti::StillImage> sti_;
  bool wow64_ = false;
  platform::DWORD start_error_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  ForwardingState state_ = ForwardingState::kEnded;
  std::thread thread_;
};

}  // namespace device
