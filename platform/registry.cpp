#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/bytes.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "platform/registry_volatile.h"
#include "platform/text.h"

namespace platform {
namespace {

std::mutex fault_mutex;
std::optional<size_t> write_fault;

std::optional<size_t> TakeWriteFault() {
  std::lock_guard<std::mutex> guard(fault_mutex);
  return std::exchange(write_fault, std::nullopt);
}

std::filesystem::path HivePath(RegRoot root) {
  return paths::Prefix() / (root == RegRoot::CurrentUser ? "user.reg" : "system.reg");
}

std::mutex volatile_mutex;
std::shared_ptr<const hive::Key> volatile_keys = std::make_shared<const hive::Key>();

// The volatile keys as they are now; an empty root for HKEY_CURRENT_USER.
std::shared_ptr<const hive::Key> VolatileKeys(RegRoot root) {
  static const std::shared_ptr<const hive::Key> none = std::make_shared<const hive::Key>();
  if (root != RegRoot::LocalMachine) return none;
  std::lock_guard<std::mutex> guard(volatile_mutex);
  return volatile_keys;
}

hive::Key LoadHive(RegRoot root) {
  const std::optional<std::string> bytes = files::ReadFileOrEmpty(HivePath(root));
  return hive::Parse(bytes.value_or(""));
}

// Holds an exclusive lock on the lock file beside a hive for as long as it lives.
class HiveLock {
 public:
  explicit HiveLock(const std::filesystem::path& hive) {
    const std::string name = hive.string() + ".lock";
    fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
      }
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Under the hive's lock, applies change to the hive as it is now; change answers whether
// it changed anything, and only then is the hive replaced. False when the hive cannot be
// read or written (an unreadable hive is never overwritten).
template <class Change>
bool UpdateHive(RegRoot root, Change change) {
  const std::filesystem::path path = HivePath(root);
  HiveLock lock(path);
  if (!lock.held()) return false;
  const std::optional<std::string> bytes = files::ReadFileOrEmpty(path);
  if (!bytes) return false;
  hive::Key key = hive::Parse(*bytes);
  if (!change(key)) return true;
  return files::WriteFileAtomically(path, hive::Write(key), 0600, TakeWriteFault());
}

// The names of a key's own path, which came from SplitKeyPath and so split again.
std::vector<std::string> NamesOf(const std::string& path) { return *hive::SplitKeyPath(path); }

std::string JoinPath(const std::vector<std::string>& names) {
  std::string path;
  for (const std::string& name : names) path += (path.empty() ? "" : "\\") + name;
  return path;
}

// A key as a read sees it: its part in the file and its part in the volatile keys.
struct KeyView {
  hive::Key file;
  std::shared_ptr<const hive::Key> overlay;
  const hive::Key* in_file = nullptr;
  const hive::Key* in_overlay = nullptr;
  bool exists() const { return in_file || in_overlay; }
};

KeyView ViewKey(RegRoot root, const std::vector<std::string>& names) {
  KeyView view{LoadHive(root), VolatileKeys(root)};
  view.in_file = hive::Find(view.file, names);
  view.in_overlay = hive::Find(*view.overlay, names);
  return view;
}

// The names of both parts, the file's first, each name once.
template <class Names>
std::vector<std::string> UnionOf(const KeyView& view, Names names_of) {
  std::vector<std::string> names;
  for (const hive::Key* part : {view.in_file, view.in_overlay}) {
    if (!part) continue;
    for (std::string& name : names_of(*part)) {
      const bool seen =
          std::any_of(names.begin(), names.end(), [&](const std::string& n) { return text::EqualsIgnoreCase(n, name); });
      if (!seen) names.push_back(std::move(name));
    }
  }
  return names;
}

}  // namespace

void SetVolatileLocalMachine(hive::Key root) {
  auto keys = std::make_shared<const hive::Key>(std::move(root));
  std::lock_guard<std::mutex> guard(volatile_mutex);
  volatile_keys = std::move(keys);
}

RegValue RegValue::String(std::string_view s) {
  RegValue v{REG_SZ, std::vector<uint8_t>(s.begin(), s.end())};
  v.data.push_back(0);
  return v;
}

RegValue RegValue::Dword(DWORD value) {
  RegValue v{REG_DWORD, std::vector<uint8_t>(4)};
  bytes::PutLE32(v.data.data(), value);
  return v;
}

RegValue RegValue::Binary(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  return RegValue{REG_BINARY, std::vector<uint8_t>(p, p + size)};
}

std::string RegValue::AsString() const {
  const auto nul = std::find(data.begin(), data.end(), uint8_t{0});
  return std::string(data.begin(), nul);
}

std::optional<DWORD> RegValue::AsDword() const {
  if (data.size() != 4) return std::nullopt;
  return bytes::GetLE32(data.data());
}

std::optional<RegKey> RegKey::Open(RegRoot root, std::string_view path) {
  const auto names = hive::SplitKeyPath(path);
  if (!names) return std::nullopt;
  if (!ViewKey(root, *names).exists()) return std::nullopt;
  return RegKey(root, JoinPath(*names));
}

std::optional<RegKey> RegKey::Create(RegRoot root, std::string_view path) {
  const auto names = hive::SplitKeyPath(path);
  if (!names) return std::nullopt;
  if (hive::Find(*VolatileKeys(root), *names)) return RegKey(root, JoinPath(*names));
  const bool ok = UpdateHive(root, [&](hive::Key& key) {
    if (hive::Find(key, *names)) return false;
    hive::FindOrCreate(key, *names);
    return true;
  });
  if (!ok) return std::nullopt;
  return RegKey(root, JoinPath(*names));
}

std::optional<RegValue> RegKey::Query(std::string_view name) const {
  const KeyView view = ViewKey(root_, NamesOf(path_));
  const RegValue* value = view.in_overlay ? view.in_overlay->Value(name) : nullptr;
  if (!value && view.in_file) value = view.in_file->Value(name);
  if (!value) return std::nullopt;
  return *value;
}

bool RegKey::Set(std::string_view name, const RegValue& value) {
  if (!hive::ValidValueName(name)) return false;
  bool found = false;  // a key deleted meanwhile takes no values
  const bool ok = UpdateHive(root_, [&](hive::Key& key) {
    hive::Key* self = hive::Find(key, NamesOf(path_));
    found = self != nullptr;
    if (self) self->SetValue(name, value);
    return found;
  });
  return ok && found;
}

bool RegKey::DeleteValue(std::string_view name) {
  bool deleted = false;
  const bool ok = UpdateHive(root_, [&](hive::Key& key) {
    hive::Key* self = hive::Find(key, NamesOf(path_));
    deleted = self && self->DeleteValue(name);
    return deleted;
  });
  return ok && deleted;
}

std::vector<std::string> RegKey::SubKeys() const {
  return UnionOf(ViewKey(root_, NamesOf(path_)), [](const hive::Key& key) {
    std::vector<std::string> names;
    for (const hive::Key& sub : key.subkeys()) names.push_back(sub.name());
    return names;
  });
}

std::vector<std::string> RegKey::ValueNames() const {
  return UnionOf(ViewKey(root_, NamesOf(path_)), [](const hive::Key& key) {
    std::vector<std::string> names;
    for (const auto& value : key.values()) names.push_back(value.first);
    return names;
  });
}

std::optional<RegKey> RegKey::OpenSubKey(std::string_view path) const {
  return Open(root_, path_ + "\\" + std::string(path));
}

bool RegDeleteTree(RegRoot root, std::string_view path) {
  std::optional<std::vector<std::string>> names = hive::SplitKeyPath(path);
  if (!names) return false;
  bool existed = false;
  const bool ok = UpdateHive(root, [&](hive::Key& key) {
    if (names->empty()) {  // the root itself stays, emptied
      existed = true;
      key = hive::Key{};
      return true;
    }
    const std::string last = names->back();
    names->pop_back();
    hive::Key* parent = hive::Find(key, *names);
    existed = parent && parent->DeleteChild(last);
    return existed;
  });
  return ok && existed;
}

void FailHiveWriteAfterForTest(std::optional<size_t> bytes) {
  std::lock_guard<std::mutex> guard(fault_mutex);
  write_fault = bytes;
}

}  // namespace platform
