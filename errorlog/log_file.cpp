#include "errorlog/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
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

// Only a file (not a folder) of that name counts; a failed delete or rename leaves
// the large file in use.
void RotateIfDue(const fs::path& folder) {
  std::error_code ec;
  const fs::path log = folder / kLogName;
  const auto status = fs::symlink_status(log, ec);
  if (ec || fs::is_directory(status) || !fs::exists(status)) return;
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

}  // namespace

bool AppendLine(const fs::path& folder, std::string_view line) {
  FolderLock lock(folder);
  RotateIfDue(folder);
  const fs::path log = folder / kLogName;
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::string bytes(line);
  bytes += "\r\n";
  const bool ok = WriteAll(fd, bytes);
  ::close(fd);
  return ok;
}

}  // namespace errorlog
