#include "device/event_forwarding.h"

#include <vector>

#include "platform/bytes.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace device {
namespace {

using namespace platform;

constexpr GUID kStartStopButton = {0xA6C5A715, 0x8C6E, 0x11D2, {0x97, 0x7A, 0x00, 0x00, 0xF8, 0x7A, 0x92, 0x6F}};
constexpr GUID kFeederLoaded = {0x9A64B901, 0x7C1B, 0x4934, {0x94, 0xE1, 0xBD, 0xAA, 0xA6, 0x1A, 0xBC, 0x3C}};
constexpr GUID kScanButton = {0x740D9EE6, 0x70F1, 0x11D1, {0xAD, 0x10, 0x00, 0xA0, 0x24, 0x38, 0xAD, 0x48}};

constexpr const char* kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class";

const char* EventSubkey(int kind) {
  return kind == 2 ? "Events\\StartStopButton" : "Events\\FeederLoaded";
}

// The subscription record: six 32-bit fields, or with the window and the event as
// 64-bit fields for a 32-bit process on 64-bit Windows.
std::vector<uint8_t> SubscriptionRecord(HANDLE event, bool wow64) {
  const auto handle = static_cast<int64_t>(static_cast<int32_t>(reinterpret_cast<uintptr_t>(event)));
  std::vector<uint8_t> record(wow64 ? sti::kSubscribeWow64Size : sti::kSubscribeNativeSize, 0);
  uint8_t* p = record.data();
  bytes::PutLE32(p, static_cast<uint32_t>(record.size()));
  bytes::PutLE32(p + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
  // filter, window and message stay 0
  if (wow64) {
    bytes::PutLE64(p + sti::kSubscribeWow64EventOffset, static_cast<uint64_t>(handle));
  } else {
    bytes::PutLE32(p + sti::kSubscribeNativeEventOffset, static_cast<uint32_t>(handle));
  }
  return record;
}

}  // namespace

int EventKind(const GUID& id) {
  if (id == kStartStopButton) return 2;
  if (id == kFeederLoaded) return 1;
  if (id == kScanButton) return 3;
  return 0;
}

int EventForwarding::Start(const std::u16string& device_name, std::shared_ptr<sti::StiDevice> device,
                           std::shared_ptr<sti::StillImage> sti, bool wow64) {
  Stop();
  device_name_ = device_name.substr(0, 64);
  device_ = std::move(device);
  sti_ = std::move(sti);
  wow64_ = wow64;
  state_ = ForwardingState::kStarting;
  start_error_ = 0;
  wake_up_ = CreateEvent(true, false);
  if (!wake_up_) {
    start_error_ = GetLastError();
    return 4;
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    CloseHandle(wake_up_);
    wake_up_ = nullptr;
    start_error_ = ERROR_NOT_ENOUGH_MEMORY;
    return 4;
  }
  return 0;
}

void EventForwarding::Stop() {
  if (!thread_.joinable()) return;
  {
    // The state changes under the lock, so a stop request cannot be lost between the
    // thread's wake-up and its next wait.
    std::unique_lock<std::mutex> lock(mutex_);
    if (state_ != ForwardingState::kEnded) {
      changed_.wait(lock, [this] { return state_ == ForwardingState::kWaiting || state_ == ForwardingState::kEnded; });
      if (state_ == ForwardingState::kWaiting) {
        state_ = ForwardingState::kStopRequested;
        SetEvent(wake_up_);
      }
      changed_.wait(lock, [this] { return state_ == ForwardingState::kEnded; });
    }
  }
  thread_.join();
  CloseHandle(wake_up_);
  wake_up_ = nullptr;
  device_.reset();
  sti_.reset();
  device_name_.clear();
}

ForwardingState EventForwarding::State() {
  std::lock_guard<std::mutex> guard(mutex_);
  return state_;
}

void EventForwarding::SetState(ForwardingState state) {
  std::lock_guard<std::mutex> guard(mutex_);
  state_ = state;
  changed_.notify_all();
}

void EventForwarding::Run() {
  const std::vector<uint8_t> record = SubscriptionRecord(wake_up_, wow64_);
  if (FAILED(device_->Subscribe(record.data()))) {
    SetState(ForwardingState::kEnded);
    return;
  }
  SetState(ForwardingState::kWaiting);
  for (;;) {
    WaitForSingleObject(wake_up_, INFINITE);
    ResetEvent(wake_up_);
    {
      std::lock_guard<std::mutex> guard(mutex_);
      if (state_ == ForwardingState::kStopRequested) break;
      state_ = ForwardingState::kHandling;
    }
    Handle();
    SetState(ForwardingState::kWaiting);
  }
  device_->UnSubscribe();
  SetState(ForwardingState::kEnded);
}

void EventForwarding::Handle() {
  sti::STINOTIFY notify{};
  notify.dwSize = sizeof(notify);
  if (FAILED(device_->GetLastNotificationData(&notify))) return;
  const int kind = EventKind(notify.guidNotificationCode);
  if (kind != 1 && kind != 2) return;

  const std::string name = text::WideToAnsi(device_name_, 128);
  auto device_key = RegKey::Open(HKEY_LOCAL_MACHINE, kClassKey);
  if (device_key) device_key = device_key->OpenSubKey(name);
  auto data_key = device_key ? device_key->OpenSubKey("DeviceData") : std::nullopt;
  auto disable = data_key ? data_key->Query("DisableNotifications") : std::nullopt;
  if (!disable || !disable->AsDword()) return;
  if (*disable->AsDword() != 0) return;

  auto event_key = device_key->OpenSubKey(EventSubkey(kind));
  auto launch = event_key ? event_key->Query("LaunchApplications") : std::nullopt;
  if (!launch) return;
  std::string apps = launch->AsString();
  if (apps.size() > 1024) apps.resize(1024);
  std::u16string list = text::Utf8ToUtf16(apps);
  if (list.size() > 2048) list.resize(2048);
  if (list.empty()) return;
  sti_->LaunchApplicationForDevice(device_name_, list, &notify);
}

}  // namespace device
