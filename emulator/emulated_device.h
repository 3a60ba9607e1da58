// One emulated scanner: answers commands from any transport, keeps its state, its
// injected faults, its still-image lock and subscriptions, and the log of what it saw.
// Every member is safe to call from any thread.
#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/device_setup.h"
#include "emulator/exchange.h"
#include "emulator/faults.h"
#include "emulator/state_change.h"
#include "platform/sti/sti.h"

namespace emulator {

// A command as a transport hands it over. record carries the transport's view
// (CDB field, length, direction, declared length, outgoing data, escape arguments).
struct WireRequest {
  Exchange record;
  std::span<uint8_t> data_in;  // the caller's buffer for data in
  bool auto_sense = false;     // ASPI: the sense travels in the block and is no longer pending
};

struct WireResult {
  Outcome outcome = Outcome::kGood;
  uint32_t returned = 0;
  std::array<uint8_t, kSenseSize> sense{};  // valid for kCheckCondition
};

// A subscription as the device's subscribe call received it.
struct Subscription {
  platform::DWORD size = 0;
  platform::DWORD flags = 0;
  platform::DWORD filter = 0;
  uint64_t window = 0;
  platform::HANDLE event = nullptr;
  platform::DWORD message = 0;
};

struct LockCounts {
  int lock_calls = 0;
  int unlock_calls = 0;
  bool locked = false;  // by one of this program's device handles
};

class Timeline;

class EmulatedDevice {
 public:
  // timeline: the one of the bus the device is on; a device without one has no
  // scripted steps.
  explicit EmulatedDevice(DeviceSetup setup, std::shared_ptr<Timeline> timeline = nullptr);

  const std::string& name() const { return name_; }
  const std::string& flatbed_unit() const { return flatbed_unit_; }
  const Identity& identity() const { return identity_; }
  const Attachment& attachment() const { return attachment_; }
  const std::array<uint8_t, kInquirySize>& inquiry() const { return inquiry_; }

  // Applies the timeline's steps that are due. Every command, lock and unlock does it
  // first; the still-image device objects do it at each of their calls.
  void AdvanceTimeline();

  // Commands, from every transport. Records the exchange.
  WireResult Execute(WireRequest request);
  // Records an exchange that carried no command or was refused before executing.
  void Record(Exchange exchange);

  // Still-image driver. owner: the device handle making the call.
  platform::HRESULT Lock(const void* owner, platform::DWORD timeout_ms);
  platform::HRESULT Unlock(const void* owner);
  // The injected failure for an escape code, used up; S_OK when none.
  platform::HRESULT TakeEscapeFault(platform::DWORD code);
  // The injected failure for device creation, used up; S_OK when none.
  platform::HRESULT TakeCreateFault();
  platform::HRESULT Subscribe(const void* owner, const Subscription& subscription);
  platform::HRESULT Unsubscribe(const void* owner);
  std::optional<platform::sti::STINOTIFY> LastNotification() const;
  // The device's read of its last notification; counted for tests.
  std::optional<platform::sti::STINOTIFY> ReadNotification();
  int NotificationReads() const;
  void HandleOpened(platform::DWORD mode);
  // A device handle went away: its lock and subscription go with it.
  void HandleClosed(const void* owner);

  // Test side: stores the notification and signals every subscribed event.
  void RaiseEvent(const platform::GUID& event, std::span<const uint8_t> data);

  // Faults at run time (the same powers as the builder's).
  void AddFault(const CommandFault& fault);
  void AddEscapeFault(const EscapeFault& fault);
  void SetLockHeldElsewhere(int times);  // 0 releases it
  // Another program holds the lock until the clock (platform::Clock::Now) reaches the
  // time: lock attempts wait, and fail unless the hold ends within their timeout.
  void HoldLockUntil(uint64_t clock_ms);
  void SetOffline(bool offline);
  void SetUnplugAfter(std::optional<uint32_t> requests);
  void SetCreateFailures(int times, platform::HRESULT result = platform::E_FAIL);
  // Both broadcast DBT_DEVNODES_CHANGED when the device came or went.
  void Unplug();
  void Plug();
  void ClearFaults();

  // State.
  bool Plugged() const;
  ScannerState State() const;
  // Changes the state at run time, under the device's lock.
  void EditState(const std::function<void(ScannerState&)>& edit);
  void ApplyChange(const StateChange& change);
  bool FlatbedAttached() const;
  // Also makes a model without the compatible-mode read answer it.
  void SetCompatibleMode(uint8_t code, uint8_t second);
  void SetVendorRead(uint8_t data_type, std::vector<uint8_t> answer);
  ModelProfile Profile() const;
  std::optional<Sense> PendingSense() const;

  // Inspection.
  std::vector<Exchange> Exchanges() const;
  std::vector<Exchange> Commands() const;  // exchanges that carried a CDB
  void ClearLog();
  LockCounts Locks() const;
  std::vector<Subscription> Subscriptions() const;
  int SubscribeCalls() const;
  int UnsubscribeCalls() const;
  int CreatedHandles() const;
  int OpenHandles() const;
  platform::DWORD LastCreateMode() const;

 private:
  friend class Timeline;
  // Quietly; true when that made the device come or go.
  bool SetPresent(bool present);
  bool WaitForLock(std::unique_lock<std::mutex>& lock, const void* owner, platform::DWORD timeout_ms);
  WireResult ExecuteLocked(const WireRequest& request);
  WireResult ApplyFault(CommandFault& fault, const WireRequest& request);
  WireResult RunNormally(const WireRequest& request, std::span<uint8_t> data_in);
  CommandFault* TakeCommandFault(const std::vector<uint8_t>& cdb_area, uint8_t cdb_length);
  bool LockFree(const void* owner) const;
  bool PluggedLocked() const;

  const std::string name_;
  const Identity identity_;
  const Attachment attachment_;
  const std::array<uint8_t, kInquirySize> inquiry_;
  const std::string flatbed_unit_;
  const std::shared_ptr<Timeline> timeline_;

  mutable std::mutex mutex_;
  ModelProfile profile_;
  std::condition_variable lock_changed_;
  ScannerState state_;
  DeviceFaults faults_;
  std::optional<Sense> pending_sense_;
  bool plugged_ = true;
  uint32_t served_ = 0;
  std::vector<Exchange> log_;
  const void* lock_owner_ = nullptr;
  LockCounts lock_counts_;
  std::map<const void*, Subscription> subscriptions_;
  int subscribe_calls_ = 0;
  int unsubscribe_calls_ = 0;
  std::optional<platform::sti::STINOTIFY> notification_;
  int notification_reads_ = 0;
  int created_handles_ = 0;
  int open_handles_ = 0;
  platform::DWORD last_create_mode_ = 0;
};

}  // namespace emulator
