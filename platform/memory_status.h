// GlobalMemoryStatusEx. On Linux, from /proc/meminfo: physical memory is MemTotal and
// MemAvailable; the page file is physical memory plus swap and what is free of both
// (MemTotal + SwapTotal, MemAvailable + SwapFree), as Windows counts physical memory
// plus page files there; virtual memory is this process's user address space and what of
// it is not mapped (VmSize). The memory load is the percentage of physical memory in
// use. There is no extended virtual memory (0, as on Windows).
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/win_types.h"

namespace platform::system {

struct MEMORYSTATUSEX {
  DWORD dwMemoryLoad = 0;
  uint64_t ullTotalPhys = 0;
  uint64_t ullAvailPhys = 0;
  uint64_t ullTotalPageFile = 0;
  uint64_t ullAvailPageFile = 0;
  uint64_t ullTotalVirtual = 0;
  uint64_t ullAvailVirtual = 0;
  uint64_t ullAvailExtendedVirtual = 0;
};

// False when the figures cannot be read.
bool GlobalMemoryStatusEx(MEMORYSTATUSEX& status);
void ForceMemoryStatusForTest(std::optional<MEMORYSTATUSEX> status);

// The status from /proc/meminfo text and the process's mapped bytes; nullopt without
// MemTotal.
std::optional<MEMORYSTATUSEX> MemoryStatusFromMeminfo(std::string_view meminfo, uint64_t mapped_bytes);

}  // namespace platform::system
