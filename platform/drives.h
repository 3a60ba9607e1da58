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
// Tests make the queries of a letter fail with this message; nullopt removes the fault.
void FailDiskFreeSpaceForTest(char letter, std::optional<std::string> message);
// Tests give a letter's file system these sizes (in 4096-byte blocks, for both queries).
void ForceDiskFreeSpaceForTest(char letter, std::optional<DiskFreeSpace> space);

// Whether GetDiskFreeSpaceEx exists on the system GetVersionEx answers: not on Win32s
// nor on the first release of Windows 95 (build below 1000).
bool HasDiskFreeSpaceEx();

// The older query: the sizes in clusters, limited as it was to 2 GB per count (a
// larger disk shows as 2 GB). Clusters are the file system's fragments in 512-byte
// sectors.
struct DiskFreeClusters {
  uint32_t sectors_per_cluster = 0;
  uint32_t bytes_per_sector = 0;
  uint32_t free_clusters = 0;
  uint32_t total_clusters = 0;
};
std::optional<DiskFreeClusters> GetDiskFreeSpace(std::string_view root, std::string* error);

}  // namespace platform::drives
