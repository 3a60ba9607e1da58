#include "platform/drives.h"

#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/paths.h"

namespace platform::drives {
namespace {

// statfs magic numbers of the file systems that are not local disks.
constexpr long kNfs = 0x6969, kSmb = 0x517B, kCifs = 0xFF534D42, kSmb2 = 0xFE534D42, kAfs = 0x5346414F,
               kCoda = 0x73757245, kNcp = 0x564C, kIso9660 = 0x9660, kUdf = 0x15013346;

struct Forced {
  std::mutex mutex;
  std::map<char, UINT> types;
  std::map<char, std::string> failures;
};

Forced& forced() {
  static Forced instance;
  return instance;
}

std::optional<char> RootLetter(std::string_view root) {
  if (root.size() != 3 || root[1] != ':' || root[2] != '\\' || !std::isalpha(static_cast<unsigned char>(root[0])))
    return std::nullopt;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
}

UINT TypeOfFileSystem(long magic) {
  switch (magic) {
    case kNfs:
    case kSmb:
    case kCifs:
    case kSmb2:
    case kAfs:
    case kCoda:
    case kNcp: return DRIVE_REMOTE;
    case kIso9660:
    case kUdf: return DRIVE_CDROM;
    default: return DRIVE_FIXED;
  }
}

}  // namespace

UINT GetDriveType(std::string_view root) {
  const std::optional<char> letter = RootLetter(root);
  if (!letter) return DRIVE_NO_ROOT_DIR;
  {
    std::lock_guard<std::mutex> guard(forced().mutex);
    const auto it = forced().types.find(*letter);
    if (it != forced().types.end()) return it->second;
  }
  const std::optional<std::filesystem::path> host = paths::ToHost(root);
  std::error_code ec;
  if (!host || !std::filesystem::is_directory(*host, ec)) return DRIVE_NO_ROOT_DIR;
  struct statfs info {};
  if (::statfs(host->c_str(), &info) != 0) return DRIVE_UNKNOWN;
  return TypeOfFileSystem(static_cast<long>(info.f_type));
}

void ForceDriveTypeForTest(char letter, std::optional<UINT> type) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  if (type)
    forced().types[letter] = *type;
  else
    forced().types.erase(letter);
}

std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root, std::string* error) {
  const std::optional<char> letter = RootLetter(root);
  if (letter) {
    std::lock_guard<std::mutex> guard(forced().mutex);
    const auto it = forced().failures.find(*letter);
    if (it != forced().failures.end()) {
      if (error) *error = it->second;
      return std::nullopt;
    }
  }
  const std::optional<std::filesystem::path> host = letter ? paths::ToHost(root) : std::nullopt;
  struct statvfs info {};
  if (!host || ::statvfs(host->c_str(), &info) != 0) {
    if (error) *error = std::strerror(host ? errno : ENOENT);
    return std::nullopt;
  }
  DiskFreeSpace space;
  space.total_bytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
  space.total_free_bytes = static_cast<uint64_t>(info.f_bfree) * info.f_frsize;
  space.free_bytes_available = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  return space;
}

void FailDiskFreeSpaceForTest(char letter, std::optional<std::string> message) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  if (message)
    forced().failures[letter] = *message;
  else
    forced().failures.erase(letter);
}

}  // namespace platform::drives
