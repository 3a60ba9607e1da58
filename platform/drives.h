// GetDriveType and GetDiskFreeSpaceEx for the configured drives (C: is the prefix's
// drive_c, further letters are mapped by paths::MapDrive). A drive whose folder is on
// a network or optical file system answers DRIVE_REMOTE or DRIVE_CDROM; any other
// existing drive folder is a fixed disk. The sizes are those of the file system the
// drive's folder is on (statvfs).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform::drives {

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

// The root is a letter, a colon and a backslash ("C:\").
UINT GetDriveType(std::string_view root);
// Tests give a drive letter a type of their choice; nullopt removes it.
void ForceDriveTypeForTest(char letter, std::optional<UINT> type);

struct DiskFreeSpace {
  uint64_t free_bytes_available = 0;  // to this user
  uint64_t total_bytes = 0;
  uint64_t total_free_bytes = 0;
};

// The sizes, or nullopt with the system's message text in `error`.
std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(std::string_view root, std::string* error);
// Tests make the query of a letter fail with this message; nullopt removes the fault.
void FailDiskFreeSpaceForTest(char letter, std::optional<std::string> message);

}  // namespace platform::drives
