#include "platform/named.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/handles.h"

namespace platform {
namespace {

constexpr size_t kMaxFileName = 200;
constexpr DWORD kRetryMs = 10;  // how often a waiting non-holder tries to take the name

std::filesystem::path ObjectsFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return std::filesystem::path(runtime) / "scanutil-objects";
  const char* tmp = std::getenv("TMPDIR");
  // The temporary folder is shared by all users, so each has a folder of their own.
  return std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / Format("scanutil-objects-%u", ::getuid());
}

uint64_t Fnv1a(std::string_view s) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : s) hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
  return hash;
}

// Letters, digits, '-', '_' and a '.' not in front stay; every other byte becomes %HH,
// so two names never share a file and none leaves the folder. Long names are cut and
// end with a hash of the whole name.
std::string FileNameFor(std::string_view name) {
  std::string file;
  for (char c : name) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || (c == '.' && !file.empty());
    file += plain ? std::string(1, c) : Format("%%%02X", static_cast<uint8_t>(c));
  }
  if (file.size() <= kMaxFileName) return file;
  return file.substr(0, kMaxFileName - 17) + Format("~%016llx", static_cast<unsigned long long>(Fnv1a(name)));
}

// This process's hold on a name: its lock file, open and locked. Destroying it releases the name.
class NameHold {
 public:
  explicit NameHold(int fd) : fd_(fd) {}
  ~NameHold() {
    if (fd_ >= 0) ::close(fd_);
  }
  NameHold(const NameHold&) = delete;
  NameHold& operator=(const NameHold&) = delete;

 private:
  int fd_;
};

enum class Outcome { kNew, kHeldHere, kHeldElsewhere, kFailed };
struct Attempt {
  Outcome outcome;
  std::shared_ptr<NameHold> hold;  // set for kNew and kHeldHere
};

struct Holds {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<NameHold>> by_name;
};

Holds& holds() {
  static Holds* h = new Holds;  // handles may be closed by static destructors
  return *h;
}

Attempt TakeFile(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path().parent_path(), ec);
  if (::mkdir(file.parent_path().c_str(), 0700) != 0 && errno != EEXIST) return {Outcome::kFailed, nullptr};
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return {Outcome::kFailed, nullptr};
  int rc;
  while ((rc = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (rc == 0) return {Outcome::kNew, std::make_shared<NameHold>(fd)};
  const bool busy = errno == EWOULDBLOCK;
  ::close(fd);
  return {busy ? Outcome::kHeldElsewhere : Outcome::kFailed, nullptr};
}

// Takes the name for this process unless some process holds it already.
Attempt Acquire(const std::string& name) {
  Holds& h = holds();
  std::lock_guard<std::mutex> guard(h.mutex);
  std::weak_ptr<NameHold>& slot = h.by_name[name];
  if (std::shared_ptr<NameHold> held = slot.lock()) return {Outcome::kHeldHere, held};
  Attempt attempt = TakeFile(ObjectsFolder() / FileNameFor(name));
  if (attempt.hold) slot = attempt.hold;
  return attempt;
}

class NamedMutex : public KernelObject {
 public:
  NamedMutex(std::string name, std::shared_ptr<NameHold> hold) : name_(std::move(name)), hold_(std::move(hold)) {}

  // The holder's wait succeeds at once; another waits, through the clock, for the name to become free.
  DWORD Wait(DWORD ms) override {
    const uint64_t start = GetClock().Now();
    for (;;) {
      if (Holding()) return WAIT_OBJECT_0;
      const uint64_t waited = GetClock().Now() - start;
      if (ms != INFINITE && waited >= ms) return WAIT_TIMEOUT;
      platform::Sleep(ms == INFINITE ? kRetryMs : static_cast<DWORD>(std::min<uint64_t>(kRetryMs, ms - waited)));
    }
  }

 private:
  bool Holding() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!hold_) hold_ = Acquire(name_).hold;
    return hold_ != nullptr;
  }

  std::mutex mutex_;
  const std::string name_;
  std::shared_ptr<NameHold> hold_;
};

}  // namespace

HANDLE CreateMutex(bool initial_owner, std::string_view name) {
  (void)initial_owner;  // the process that holds the name owns the object
  if (name.empty()) {   // unnamed: a private object nobody else can see
    HANDLE handle = RegisterHandle(std::make_shared<NamedMutex>("", std::make_shared<NameHold>(-1)));
    SetLastError(0);
    return handle;
  }
  Attempt attempt = Acquire(std::string(name));
  if (attempt.outcome == Outcome::kFailed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  HANDLE handle = RegisterHandle(std::make_shared<NamedMutex>(std::string(name), std::move(attempt.hold)));
  SetLastError(attempt.outcome == Outcome::kNew ? 0 : ERROR_ALREADY_EXISTS);
  return handle;
}

}  // namespace platform
