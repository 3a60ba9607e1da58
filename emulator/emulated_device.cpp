#include "emulator/emulated_device.h"

#include <algorithm>
#include <cstring>

#include "emulator/command_table.h"
#include "emulator/timeline.h"
#include "platform/clock.h"
#include "platform/handles.h"
#include "platform/system.h"

namespace emulator {
namespace {

using platform::DWORD;
using platform::HRESULT;

constexpr uint8_t kRequestSenseOpcode = 0x03;

uint8_t GarbageByte(size_t index) { return static_cast<uint8_t>(0xA5 ^ (index * 37)); }

std::array<uint8_t, kInquirySize> InquiryOf(const DeviceSetup& setup) {
  return setup.raw_inquiry ? *setup.raw_inquiry : BuildInquiry(setup.identity);
}

}  // namespace

EmulatedDevice::EmulatedDevice(DeviceSetup setup, std::shared_ptr<Timeline> timeline)
    : name_(std::move(setup.name)),
      identity_(setup.identity),
      attachment_(std::move(setup.attachment)),
      inquiry_(InquiryOf(setup)),
      flatbed_unit_(std::move(setup.flatbed_unit)),
      timeline_(std::move(timeline)),
      profile_(std::move(setup.profile)),
      state_(std::move(setup.state)),
      faults_(std::move(setup.faults)) {}

void EmulatedDevice::AdvanceTimeline() {
  if (timeline_) timeline_->Advance();
}

WireResult EmulatedDevice::Execute(WireRequest request) {
  AdvanceTimeline();
  std::lock_guard<std::mutex> guard(mutex_);
  WireResult result = ExecuteLocked(request);
  if (result.outcome == Outcome::kCheckCondition && request.auto_sense) pending_sense_.reset();
  Exchange& record = request.record;
  record.outcome = result.outcome;
  record.returned = result.returned;
  SetResultFields(record);
  log_.push_back(std::move(record));
  return result;
}

void EmulatedDevice::Record(Exchange exchange) {
  std::lock_guard<std::mutex> guard(mutex_);
  log_.push_back(std::move(exchange));
}

bool EmulatedDevice::PluggedLocked() const {
  return plugged_ && !(faults_.unplug_after && served_ >= *faults_.unplug_after);
}

WireResult EmulatedDevice::ExecuteLocked(const WireRequest& request) {
  if (!PluggedLocked()) return {Outcome::kNoDevice};
  ++served_;
  const std::vector<uint8_t>& cdb = request.record.cdb_area;
  const uint8_t length = static_cast<uint8_t>(std::min<size_t>(request.record.cdb_length, cdb.size()));
  // Sense stays pending only until the next command that is not REQUEST SENSE.
  if (length == 0 || cdb[0] != kRequestSenseOpcode) pending_sense_.reset();
  if (CommandFault* fault = TakeCommandFault(cdb, length)) return ApplyFault(*fault, request);
  return RunNormally(request, request.data_in);
}

CommandFault* EmulatedDevice::TakeCommandFault(const std::vector<uint8_t>& cdb, uint8_t length) {
  for (CommandFault& fault : faults_.commands) {
    if (fault.times != 0 && fault.match.Matches(cdb.data(), length) && ConsumeTimes(fault.times)) return &fault;
  }
  return nullptr;
}

WireResult EmulatedDevice::RunNormally(const WireRequest& request, std::span<uint8_t> data_in) {
  const Exchange& record = request.record;
  CommandInput input;
  input.cdb = record.cdb_area.data();
  input.cdb_length = static_cast<uint8_t>(std::min<size_t>(record.cdb_length, record.cdb_area.size()));
  input.data_out = record.data_out;
  input.data_in = data_in;
  CommandContext context{inquiry_, profile_, state_, pending_sense_};
  const CommandAnswer answer = RunCommand(context, input);
  WireResult result{Outcome::kGood, answer.returned, {}};
  if (answer.sense) {
    pending_sense_ = answer.sense;
    result.outcome = Outcome::kCheckCondition;
    result.sense = EncodeSense(*answer.sense);
  }
  return result;
}

WireResult EmulatedDevice::ApplyFault(CommandFault& fault, const WireRequest& request) {
  switch (fault.kind) {
    case FaultKind::kBusy: return {Outcome::kBusy};
    case FaultKind::kTransportError: return {Outcome::kTransportError};
    case FaultKind::kNoAnswer: return {Outcome::kNoAnswer};
    case FaultKind::kSense:
    case FaultKind::kShortAnswer:
    case FaultKind::kGarbageAnswer:
    case FaultKind::kZeroAnswer: break;
  }
  // The rest answer from what the command would have returned.
  std::vector<uint8_t> scratch(request.data_in.size());
  WireResult result = fault.kind == FaultKind::kSense && request.data_in.empty()
                          ? WireResult{}
                          : RunNormally(request, scratch);
  std::span<uint8_t> out = request.data_in;
  if (fault.kind == FaultKind::kGarbageAnswer) {
    for (size_t i = 0; i < result.returned; ++i) out[i] = GarbageByte(i);
    return result;
  }
  if (fault.kind == FaultKind::kZeroAnswer) {
    std::fill(out.begin(), out.end(), 0);
    pending_sense_.reset();
    return {Outcome::kGood, static_cast<uint32_t>(out.size()), {}};
  }
  result.returned = std::min(result.returned, fault.answer_bytes);
  std::copy_n(scratch.begin(), result.returned, out.begin());
  if (fault.kind == FaultKind::kSense) {
    pending_sense_ = fault.sense;
    result.outcome = Outcome::kCheckCondition;
    result.sense = EncodeSense(fault.sense);
  }
  return result;
}

bool EmulatedDevice::LockFree(const void* owner) const {
  return PluggedLocked() && !faults_.offline && faults_.lock_held_elsewhere == 0 &&
         platform::GetClock().Now() >= faults_.lock_held_until && (lock_owner_ == nullptr || lock_owner_ == owner);
}

// A hold by another program that ends within the timeout ends the wait when it ends,
// so the attempt gets the lock then and not only at the end of its timeout.
bool EmulatedDevice::WaitForLock(std::unique_lock<std::mutex>& lock, const void* owner, DWORD timeout_ms) {
  auto free = [&] { return LockFree(owner); };
  DWORD left = timeout_ms;
  for (;;) {
    const uint64_t now = platform::GetClock().Now();
    const uint64_t hold = faults_.lock_held_until > now ? faults_.lock_held_until - now : 0;
    const DWORD slice = hold ? static_cast<DWORD>(std::min<uint64_t>(left, hold)) : left;
    if (platform::GetClock().WaitUntil(lock, lock_changed_, slice, free)) return true;
    if (left != platform::INFINITE) left -= slice;
    if (left == 0) return false;
  }
}

HRESULT EmulatedDevice::Lock(const void* owner, DWORD timeout_ms) {
  AdvanceTimeline();
  std::unique_lock<std::mutex> lock(mutex_);
  ++lock_counts_.lock_calls;
  Exchange record;
  record.transport = Transport::kLock;
  record.lock_timeout = timeout_ms;
  auto offline = [this] { return !PluggedLocked() || faults_.offline; };
  HRESULT hr = platform::S_OK;
  if (offline()) {
    hr = platform::sti::STIERR_DEVICE_OFFLINE;
  } else if (!LockFree(owner) && !WaitForLock(lock, owner, timeout_ms)) {
    if (faults_.lock_held_elsewhere > 0) --faults_.lock_held_elsewhere;
    hr = offline() ? platform::sti::STIERR_DEVICE_OFFLINE : platform::sti::STIERR_SHARING_VIOLATION;
  }
  if (hr == platform::S_OK) {
    lock_owner_ = owner;
    lock_counts_.locked = true;
  }
  record.result = hr;
  record.outcome = hr == platform::S_OK ? Outcome::kGood : Outcome::kEscapeFailed;
  log_.push_back(std::move(record));
  return hr;
}

HRESULT EmulatedDevice::Unlock(const void* owner) {
  AdvanceTimeline();
  std::lock_guard<std::mutex> guard(mutex_);
  ++lock_counts_.unlock_calls;
  Exchange record;
  record.transport = Transport::kUnlock;
  if (lock_owner_ == owner) {
    lock_owner_ = nullptr;
    lock_counts_.locked = false;
    lock_changed_.notify_all();
  }
  log_.push_back(std::move(record));
  return platform::S_OK;
}

HRESULT EmulatedDevice::TakeEscapeFault(DWORD code) {
  std::lock_guard<std::mutex> guard(mutex_);
  for (EscapeFault& fault : faults_.escapes) {
    if (fault.code == code && fault.times != 0 && ConsumeTimes(fault.times)) return fault.result;
  }
  return platform::S_OK;
}

HRESULT EmulatedDevice::TakeCreateFault() {
  std::lock_guard<std::mutex> guard(mutex_);
  return ConsumeTimes(faults_.create_failures) ? faults_.create_result : platform::S_OK;
}

HRESULT EmulatedDevice::Subscribe(const void* owner, const Subscription& subscription) {
  std::lock_guard<std::mutex> guard(mutex_);
  ++subscribe_calls_;
  if (!subscriptions_.emplace(owner, subscription).second) return platform::E_FAIL;  // already subscribed
  return platform::S_OK;
}

HRESULT EmulatedDevice::Unsubscribe(const void* owner) {
  std::lock_guard<std::mutex> guard(mutex_);
  ++unsubscribe_calls_;
  return subscriptions_.erase(owner) ? platform::S_OK : platform::E_FAIL;
}

std::optional<platform::sti::STINOTIFY> EmulatedDevice::LastNotification() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return notification_;
}

std::optional<platform::sti::STINOTIFY> EmulatedDevice::ReadNotification() {
  std::lock_guard<std::mutex> guard(mutex_);
  ++notification_reads_;
  return notification_;
}

int EmulatedDevice::NotificationReads() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return notification_reads_;
}

void EmulatedDevice::HandleOpened(DWORD mode) {
  std::lock_guard<std::mutex> guard(mutex_);
  ++created_handles_;
  ++open_handles_;
  last_create_mode_ = mode;
}

void EmulatedDevice::HandleClosed(const void* owner) {
  std::lock_guard<std::mutex> guard(mutex_);
  --open_handles_;
  subscriptions_.erase(owner);
  if (lock_owner_ == owner) {
    lock_owner_ = nullptr;
    lock_counts_.locked = false;
    lock_changed_.notify_all();
  }
}

void EmulatedDevice::RaiseEvent(const platform::GUID& event, std::span<const uint8_t> data) {
  std::vector<platform::HANDLE> events;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    platform::sti::STINOTIFY notify{};
    notify.dwSize = sizeof(notify);
    notify.guidNotificationCode = event;
    std::memcpy(notify.abNotificationData, data.data(), std::min(data.size(), sizeof(notify.abNotificationData)));
    notification_ = notify;
    for (const auto& [owner, subscription] : subscriptions_) events.push_back(subscription.event);
  }
  for (platform::HANDLE handle : events) platform::SetEvent(handle);
}

void EmulatedDevice::AddFault(const CommandFault& fault) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.commands.push_back(fault);
}

void EmulatedDevice::AddEscapeFault(const EscapeFault& fault) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.escapes.push_back(fault);
}

void EmulatedDevice::SetLockHeldElsewhere(int times) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.lock_held_elsewhere = times;
  lock_changed_.notify_all();
}

void EmulatedDevice::HoldLockUntil(uint64_t clock_ms) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.lock_held_until = clock_ms;
  lock_changed_.notify_all();
}

void EmulatedDevice::SetOffline(bool offline) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.offline = offline;
  lock_changed_.notify_all();
}

void EmulatedDevice::SetUnplugAfter(std::optional<uint32_t> requests) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.unplug_after = requests;
  served_ = 0;
}

void EmulatedDevice::SetCreateFailures(int times, HRESULT result) {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_.create_failures = times;
  faults_.create_result = result;
}

bool EmulatedDevice::SetPresent(bool present) {
  std::lock_guard<std::mutex> guard(mutex_);
  const bool was = PluggedLocked();
  plugged_ = present;
  if (present) faults_.unplug_after.reset();
  lock_changed_.notify_all();
  return was != PluggedLocked();
}

void EmulatedDevice::Unplug() {
  if (SetPresent(false)) platform::system::BroadcastDeviceChange();
}

void EmulatedDevice::Plug() {
  if (SetPresent(true)) platform::system::BroadcastDeviceChange();
}

void EmulatedDevice::ClearFaults() {
  std::lock_guard<std::mutex> guard(mutex_);
  faults_ = DeviceFaults{};
  lock_changed_.notify_all();
}

bool EmulatedDevice::Plugged() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return PluggedLocked();
}

ScannerState EmulatedDevice::State() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return state_;
}

ModelProfile EmulatedDevice::Profile() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return profile_;
}

void EmulatedDevice::EditState(const std::function<void(ScannerState&)>& edit) {
  std::lock_guard<std::mutex> guard(mutex_);
  edit(state_);
}

void EmulatedDevice::ApplyChange(const StateChange& change) {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const StateEdit& edit : change.edits) edit(state_);
  if (change.answers_compatible_mode) AnswerCompatibleMode(profile_);
}

bool EmulatedDevice::FlatbedAttached() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return state_.flatbed.attached;
}

void EmulatedDevice::SetCompatibleMode(uint8_t code, uint8_t second) {
  std::lock_guard<std::mutex> guard(mutex_);
  state_.compatible_mode = {code, second};
  AnswerCompatibleMode(profile_);
}

void EmulatedDevice::SetVendorRead(uint8_t data_type, std::vector<uint8_t> answer) {
  std::lock_guard<std::mutex> guard(mutex_);
  state_.vendor_reads[data_type] = std::move(answer);
}

std::optional<Sense> EmulatedDevice::PendingSense() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return pending_sense_;
}

std::vector<Exchange> EmulatedDevice::Exchanges() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return log_;
}

std::vector<Exchange> EmulatedDevice::Commands() const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<Exchange> commands;
  std::copy_if(log_.begin(), log_.end(), std::back_inserter(commands), [](const Exchange& e) { return e.IsCommand(); });
  return commands;
}

void EmulatedDevice::ClearLog() {
  std::lock_guard<std::mutex> guard(mutex_);
  log_.clear();
}

LockCounts EmulatedDevice::Locks() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return lock_counts_;
}

std::vector<Subscription> EmulatedDevice::Subscriptions() const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<Subscription> out;
  for (const auto& [owner, subscription] : subscriptions_) out.push_back(subscription);
  return out;
}

int EmulatedDevice::SubscribeCalls() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return subscribe_calls_;
}

int EmulatedDevice::UnsubscribeCalls() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return unsubscribe_calls_;
}

int EmulatedDevice::CreatedHandles() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return created_handles_;
}

int EmulatedDevice::OpenHandles() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return open_handles_;
}

DWORD EmulatedDevice::LastCreateMode() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return last_create_mode_;
}

}  // namespace emulator
