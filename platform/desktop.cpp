#include "platform/desktop.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/desktop_listener.h"
#include "platform/desktop_registration.h"

namespace platform {
namespace {

using desktop::Listener;
using desktop::Property;
using desktop::Record;
using desktop::RecordKind;
using desktop::Registration;

static_assert(sizeof(uintptr_t) >= sizeof(uint64_t), "handles carry 64-bit sequence numbers");

// Windows made while the folder is unusable get numbers no folder hands out.
constexpr uint64_t kLocalOnly = uint64_t{1} << 62;

uint64_t Number(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }
HWND Handle(uint64_t number) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(number)); }

struct Window {
  DesktopCallbacks callbacks;
  std::vector<Property> properties;
};

// This process's windows and its listener. Lock order: delivery_, then mutex_.
class Desktop {
 public:
  static Desktop& Get() {
    static const bool installed = Install();
    (void)installed;
    return *instance_;
  }

  uint64_t Create(DesktopCallbacks callbacks) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!listener_) StartListener();
    uint64_t number = folder_ ? desktop::NextSequence(*folder_) : 0;
    if (number == 0) number = kLocalOnly | ++local_count_;
    windows_[number] = Window{std::move(callbacks), {}};
    return number;
  }

  void Destroy(uint64_t number) {
    std::shared_ptr<Listener> ended;
    {
      std::lock_guard<std::recursive_mutex> delivering(delivery_);  // waits for a callback in progress
      std::lock_guard<std::mutex> guard(mutex_);
      const auto it = windows_.find(number);
      if (it == windows_.end()) return;
      if (!it->second.properties.empty() && folder_) desktop::RemoveRegistration(*folder_, number);
      windows_.erase(it);
      if (windows_.empty()) ended = std::move(listener_);
    }
    if (ended) ended->Stop();  // the listener may be waiting for delivery_: stop it unlocked
  }

  bool SetProp(uint64_t number, std::string_view name, uint64_t value) {
    std::lock_guard<std::mutex> guard(mutex_);
    Window* window = Find(number);
    if (!window) return Fail(ERROR_INVALID_HANDLE);
    std::vector<Property> properties = window->properties;
    if (Property* existing = desktop::FindProperty(properties, name))
      existing->value = value;
    else if (properties.size() < desktop::kMaxProperties)
      properties.push_back(Property{std::string(name), value});
    else
      return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (!Register(number, properties)) return Fail(ERROR_ACCESS_DENIED);
    window->properties = std::move(properties);
    return true;
  }

  std::optional<uint64_t> RemoveProp(uint64_t number, std::string_view name) {
    std::lock_guard<std::mutex> guard(mutex_);
    Window* window = Find(number);
    const Property* property = window ? desktop::FindProperty(window->properties, name) : nullptr;
    if (!property) return std::nullopt;
    const uint64_t value = property->value;
    std::erase_if(window->properties, [property](const Property& p) { return &p == property; });
    // A removed property must not stay visible: without a fresh file the window is not shown at all.
    if ((window->properties.empty() || !Register(number, window->properties)) && folder_)
      desktop::RemoveRegistration(*folder_, number);
    return value;
  }

  // The properties of a window of this process, or nullopt when it is not one.
  std::optional<std::vector<Property>> LocalProperties(uint64_t number) {
    std::lock_guard<std::mutex> guard(mutex_);
    const Window* window = Find(number);
    if (!window) return std::nullopt;
    return window->properties;
  }

  bool IsHere(uint64_t number) {
    std::lock_guard<std::mutex> guard(mutex_);
    return Find(number) != nullptr;
  }

  // Hands a record for a window of this process to the listener; nullopt when it is not one.
  std::optional<bool> PostHere(const Record& record) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!Find(record.window)) return std::nullopt;
    return listener_ && listener_->Post(record);
  }

  // The folder this process registers in (where its listener listens), else the current one.
  std::optional<std::filesystem::path> Folder() {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      if (listener_) return folder_;
    }
    return desktop::DesktopFolder();
  }

 private:
  // Never destroyed: windows may be destroyed by static destructors.
  static bool Install() {
    instance_ = new Desktop;
    std::atexit([] { Get().AtExit(); });
    ::pthread_atfork(nullptr, nullptr, [] { ForgetParentWindows(); });
    return true;
  }

  // A child forked without exec has none of the parent's threads: it starts with no
  // windows and no listener, and lets go of the parent's socket, which would otherwise
  // keep answering after the parent died. The parent's state is abandoned as it is (its
  // locks may be held by threads that did not come along).
  static void ForgetParentWindows() {
    if (instance_->listener_) instance_->listener_->CloseInChild();
    instance_ = new Desktop;
  }

  static bool Fail(DWORD error) {
    SetLastError(error);
    return false;
  }

  Window* Find(uint64_t number) {
    const auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : &it->second;
  }

  void StartListener() {
    folder_ = desktop::DesktopFolder();
    const uint64_t socket_number = folder_ ? desktop::NextSequence(*folder_) : 0;
    socket_name_ = socket_number ? desktop::SocketName(socket_number) : "";
    const std::filesystem::path socket = socket_number ? *folder_ / socket_name_ : std::filesystem::path();
    listener_ = Listener::Start(socket, [this](const Record& record) { Deliver(record); });
  }

  bool Register(uint64_t number, const std::vector<Property>& properties) {
    if (!listener_ || !listener_->listening() || !folder_) return false;
    return desktop::WriteRegistration(*folder_, number, Registration{::getpid(), socket_name_, properties});
  }

  // On the listener thread.
  void Deliver(const Record& record) {
    std::lock_guard<std::recursive_mutex> delivering(delivery_);
    DesktopCallbacks callbacks;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      const Window* window = Find(record.window);
      if (!window) return;
      callbacks = window->callbacks;  // a copy: the callback may destroy its window
    }
    switch (record.kind) {
      case RecordKind::kMessage:
        if (callbacks.message) callbacks.message(record.message, record.wparam, static_cast<LPARAM>(record.lparam));
        break;
      case RecordKind::kRestore:
        if (callbacks.request) callbacks.request(WindowRequest::kRestore);
        break;
      case RecordKind::kForeground:
        if (callbacks.request) callbacks.request(WindowRequest::kForeground);
        break;
    }
  }

  // A normal exit takes the registrations of the windows still open with it.
  void AtExit() {
    std::shared_ptr<Listener> ended;
    {
      std::lock_guard<std::recursive_mutex> delivering(delivery_);
      std::lock_guard<std::mutex> guard(mutex_);
      for (const auto& [number, window] : windows_)
        if (!window.properties.empty() && folder_) desktop::RemoveRegistration(*folder_, number);
      windows_.clear();  // no callback runs while the process ends
      ended = std::move(listener_);
    }
    if (ended) ended->Stop();
  }

  std::recursive_mutex delivery_;  // held while a callback runs
  std::mutex mutex_;
  std::map<uint64_t, Window> windows_;
  std::shared_ptr<Listener> listener_;
  std::optional<std::filesystem::path> folder_;  // where the listener's socket is
  std::string socket_name_;
  uint64_t local_count_ = 0;
  static inline Desktop* instance_ = nullptr;
};

bool ValidName(std::string_view name) { return !name.empty() && name.size() <= kMaxPropertyName; }

// A registration in the folder that is not this process's: one of a process that is gone
// (or of an earlier process with this process's id) is deleted.
std::optional<Registration> PeerRegistration(const std::filesystem::path& folder, uint64_t number) {
  std::optional<Registration> registration = desktop::ReadRegistration(folder, number);
  if (registration && registration->pid != ::getpid() && !(::kill(registration->pid, 0) != 0 && errno == ESRCH))
    return registration;
  desktop::RemoveRegistration(folder, number, registration ? registration->socket : "");
  return std::nullopt;
}

// Whether the window of a registration found in the folder still exists.
bool StillThere(const std::filesystem::path& folder, uint64_t number) {
  if (Desktop::Get().IsHere(number)) return true;
  const std::optional<Registration> registration = PeerRegistration(folder, number);
  if (!registration) return false;
  // A process id can be reused; only a listening socket shows the window's process is there.
  if (desktop::SendTo(folder / registration->socket, {}) != desktop::SendResult::kNoListener) return true;
  desktop::RemoveRegistration(folder, number, registration->socket);
  return false;
}

bool Send(HWND hwnd, Record record) {
  record.window = Number(hwnd);
  if (const std::optional<bool> here = Desktop::Get().PostHere(record)) return *here;
  const std::optional<std::filesystem::path> folder = Desktop::Get().Folder();
  const std::optional<Registration> registration =
      folder && record.window ? PeerRegistration(*folder, record.window) : std::nullopt;
  if (!registration) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  switch (desktop::SendTo(*folder / registration->socket, desktop::EncodeRecord(record))) {
    case desktop::SendResult::kSent:
      return true;
    case desktop::SendResult::kNoListener:
      desktop::RemoveRegistration(*folder, record.window, registration->socket);
      return false;
    case desktop::SendResult::kFailed:
      return false;
  }
  return false;
}

}  // namespace

DesktopWindow::DesktopWindow(DesktopCallbacks callbacks) : hwnd_(Handle(Desktop::Get().Create(std::move(callbacks)))) {}

DesktopWindow::~DesktopWindow() { Desktop::Get().Destroy(Number(hwnd_)); }

bool SetProp(HWND hwnd, std::string_view name, HANDLE data) {
  if (!ValidName(name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return Desktop::Get().SetProp(Number(hwnd), name, reinterpret_cast<uintptr_t>(data));
}

HANDLE GetProp(HWND hwnd, std::string_view name) {
  if (!ValidName(name) || !hwnd) return nullptr;
  std::optional<std::vector<Property>> properties = Desktop::Get().LocalProperties(Number(hwnd));
  if (!properties) {
    const std::optional<std::filesystem::path> folder = Desktop::Get().Folder();
    std::optional<Registration> registration = folder ? desktop::ReadRegistration(*folder, Number(hwnd)) : std::nullopt;
    if (!registration) return nullptr;
    properties = std::move(registration->properties);
  }
  const Property* property = desktop::FindProperty(*properties, name);
  return property ? reinterpret_cast<HANDLE>(static_cast<uintptr_t>(property->value)) : nullptr;
}

HANDLE RemoveProp(HWND hwnd, std::string_view name) {
  if (!ValidName(name)) return nullptr;
  const std::optional<uint64_t> value = Desktop::Get().RemoveProp(Number(hwnd), name);
  return value ? reinterpret_cast<HANDLE>(static_cast<uintptr_t>(*value)) : nullptr;
}

void EnumWindows(const std::function<bool(HWND)>& visit) {
  const std::optional<std::filesystem::path> folder = Desktop::Get().Folder();
  if (!folder) return;
  for (uint64_t number : desktop::ListRegistrations(*folder)) {
    if (StillThere(*folder, number) && !visit(Handle(number))) return;
  }
}

HWND FindWindowWithProperty(std::string_view name) {
  HWND found = nullptr;
  EnumWindows([&](HWND hwnd) {
    if (GetProp(hwnd, name)) found = hwnd;
    return found == nullptr;
  });
  return found;
}

bool PostMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return Send(hwnd, Record{RecordKind::kMessage, 0, message, wparam, lparam});
}

bool ShowWindow(HWND hwnd, int command) {
  if (command != SW_RESTORE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return Send(hwnd, Record{RecordKind::kRestore, 0, 0, 0, 0});
}

bool SetForegroundWindow(HWND hwnd) { return Send(hwnd, Record{RecordKind::kForeground, 0, 0, 0, 0}); }

}  // namespace platform
