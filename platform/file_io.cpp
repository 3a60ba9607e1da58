#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/win_types.h"

namespace platform::files {
namespace {

// Closes the descriptor when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  int Release() {
    const int f = fd;
    fd = -1;
    return f;
  }
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd >= 0) ::fsync(dir.fd);
}

// Writes and syncs the temporary file; false on any error or injected fault.
bool FillTemporary(int fd, std::string_view bytes, mode_t mode, std::optional<size_t> fail_after) {
  if (::fchmod(fd, mode) != 0) return false;
  if (fail_after) {
    WriteAll(fd, bytes.substr(0, std::min(*fail_after, bytes.size())));
    return false;  // the injected fault
  }
  return WriteAll(fd, bytes) && ::fsync(fd) == 0;
}

// Up to max_bytes from the descriptor, the string growing only by what each read gave.
std::optional<std::string> ReadUpTo(int fd, size_t max_bytes) {
  std::string bytes;
  char chunk[65536];
  while (bytes.size() < max_bytes) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, max_bytes - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return bytes;
}

// The Windows error code of a failed open or read.
DWORD WindowsError(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EISDIR: return ERROR_ACCESS_DENIED;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EIO: return ERROR_READ_FAULT;
    default: return ERROR_OPEN_FAILED;
  }
}

}  // namespace

std::optional<std::string> ReadFileOrEmpty(const std::filesystem::path& path) {
  Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  return ReadUpTo(file.fd, std::string().max_size());
}

std::optional<std::string> ReadFileUpTo(const std::filesystem::path& path, size_t max_bytes) {
  Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    SetLastError(WindowsError(errno));
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadUpTo(file.fd, max_bytes);
  if (!bytes) SetLastError(WindowsError(errno));
  return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t new_mode,
                         std::optional<size_t> fail_after) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string temp = (folder / ("." + path.filename().string() + ".tmp-XXXXXX")).string();
  Fd file{::mkostemp(temp.data(), O_CLOEXEC)};
  if (file.fd < 0) return false;

  struct stat old {};
  const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : new_mode;
  const bool filled = FillTemporary(file.fd, bytes, mode, fail_after);
  const bool closed = ::close(file.Release()) == 0;
  if (!filled || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace platform::files
