#include "errorlog/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace errorlog {
namespace {

namespace fs = std::filesystem;

// Holds an exclusive advisory lock on the folder while alive.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// Only a file of that name counts (not a folder, not a link); a failed delete or
// rename leaves the large file in use.
void RotateIfDue(const fs::path& folder) {
  std::error_code ec;
  const fs::path log = folder / kLogName;
  const auto status = fs::symlink_status(log, ec);
  if (ec || !fs::is_regular_file(status)) return;
  const uintmax_t size = fs::file_size(log, ec);
  if (ec || size <= kRotateAbove) return;
  fs::remove(folder / kOldLogName, ec);
  fs::rename(log, folder / kOldLogName, ec);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
constexpr mode_t kWritableByAll = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;

// The log for appending, never through a link: in a folder others may write to, a
// link, a second name of another file or a pipe put at the log's name is refused (a
// pipe would block the open without O_NONBLOCK). A log we create is writable by all,
// whatever the umask, since every user's utility and the indicator append to it.
int OpenLog(const fs::path& log) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(log.c_str(), kAppendFlags);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(log.c_str(), kAppendFlags | O_CREAT | O_EXCL, kWritableByAll);
      if (fd < 0 && errno == EEXIST) continue;  // another writer made it first
      if (fd >= 0) ::fchmod(fd, kWritableByAll);
    }
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) return fd;
    ::close(fd);
    return -1;
  }
  return -1;
}

}  // namespace

bool AppendLine(const fs::path& folder, std::string_view line) {
  FolderLock lock(folder);
  RotateIfDue(folder);
  const fs::path log = folder / kLogName;
  const int fd = OpenLog(log);
  if (fd < 0) return false;
  std::string bytes(line);
  bytes += "\r\n";
  const bool ok = WriteAll(fd, bytes);
  ::close(fd);
  return ok;
}

}  // namespace errorlog
