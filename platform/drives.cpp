#include "platform/drives.h"

#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/paths.h"
#include "platform/system_version.h"

namespace platform::drives {
namespace {

// statfs magic numbers of the file systems that are not local disks.
constexpr long kNfs = 0x6969, kSmb = 0x517B, kCifs = 0xFF534D42, kSmb2 = 0xFE534D42, kAfs = 0x5346414F,
               kCoda = 0x73757245, kNcp = 0x564C, kIso9660 = 0x9660, kUdf = 0x15013346;

struct Forced {
  std::mutex mutex;
  std::map<char, UINT> types;
  std::map<char, std::string> failures;
  std::map<char, DiskFreeSpace> sizes;
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

namespace {

struct statvfs AsFileSystem(const DiskFreeSpace& space) {
  struct statvfs info {};
  info.f_frsize = 4096;
  info.f_blocks = space.total_bytes / 4096;
  info.f_bfree = space.total_free_bytes / 4096;
  info.f_bavail = space.free_bytes_available / 4096;
  return info;
}

// The statvfs answer for a root, or nullopt with the message in `error`.
std::optional<struct statvfs> FileSystemOf(std::string_view root, std::string* error) {
  const std::optional<char> letter = RootLetter(root);
  if (letter) {
    std::lock_guard<std::mutex> guard(forced().mutex);
    const auto it = forced().failures.find(*letter);
    if (it != forced().failures.end()) {
      if (error) *error = it->second;
      return std::nullopt;
    }
    if (const auto forced_size = forced().sizes.find(*letter); forced_size != forced().sizes.end())
      return AsFileSystem(forced_size->second);
  }
  const std::optional<std::filesystem::path> host = letter ? paths::ToHost(root) : std::nullopt;
  struct statvfs info {};
  if (!host || ::statvfs(host->c_str(), &info) != 0) {
    if (error) *error = std::strerror(host ? errno : ENOENT);
    return std::nullopt;
  }
  return info;
}

}  // namespace

std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root, std::string* error) {
  const std::optional<struct statvfs> info = FileSystemOf(root, error);
  if (!info) return std::nullopt;
  DiskFreeSpace space;
  space.total_bytes = static_cast<uint64_t>(info->f_blocks) * info->f_frsize;
  space.total_free_bytes = static_cast<uint64_t>(info->f_bfree) * info->f_frsize;
  space.free_bytes_available = static_cast<uint64_t>(info->f_bavail) * info->f_frsize;
  return space;
}

std::optional<DiskFreeClusters> GetDiskFreeSpace(std::string_view root, std::string* error) {
  const std::optional<struct statvfs> info = FileSystemOf(root, error);
  if (!info) return std::nullopt;
  constexpr uint64_t kSector = 512, kLimit = 0x7FFFFFFF;
  const uint64_t cluster = std::max<uint64_t>(kSector, info->f_frsize / kSector * kSector);
  const auto clusters = [&](uint64_t blocks) {
    return static_cast<uint32_t>(std::min(blocks * info->f_frsize, kLimit) / cluster);
  };
  return DiskFreeClusters{static_cast<uint32_t>(cluster / kSector), static_cast<uint32_t>(kSector),
                          clusters(info->f_bfree), clusters(info->f_blocks)};
}

bool HasDiskFreeSpaceEx() {
  const system::OsVersionInfo version = system::GetVersionEx();
  if (version.dwPlatformId == system::VER_PLATFORM_WIN32s) return false;
  return !(version.dwPlatformId == system::VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion == 4 &&
           version.dwMinorVersion == 0 && (version.dwBuildNumber & 0xFFFF) < 1000);
}

void FailDiskFreeSpaceForTest(char letter, std::optional<std::string> message) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  if (message)
    forced().failures[letter] = *message;
  else
    forced().failures.erase(letter);
}

void ForceDiskFreeSpaceForTest(char letter, std::optional<DiskFreeSpace> space) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  if (space)
    forced().sizes[letter] = *space;
  else
    forced().sizes.erase(letter);
}

}  // namespace platform::drives
