#include <algorithm>
#include <cstdint>

#include "platform/memory_status.h"
#include "platform/system_version.h"
#include "report/system_sections.h"

namespace report {
namespace {

// NT 5.0 and later (and this system) answer the 64-bit status.
bool HasMemoryStatusEx(const platform::system::OsVersionInfo& v) {
  using namespace platform::system;
  return v.dwPlatformId == VER_PLATFORM_LINUX || (v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 5);
}

// The 32-bit status stops at 4 GB.
unsigned Clip32(uint64_t value) { return static_cast<unsigned>(std::min<uint64_t>(value, 0xFFFFFFFFu)); }

}  // namespace

bool WriteMemorySection(ReportFile& file, ReportContext&) {
  platform::system::MEMORYSTATUSEX m;
  platform::system::GlobalMemoryStatusEx(m);
  if (!HasMemoryStatusEx(platform::system::GetVersionEx())) {
    return file.Printf("<< Memory >>\nMemory use, %u bytes\n", m.dwMemoryLoad) &&
           file.Printf("Total physical memory, %u bytes\n", Clip32(m.ullTotalPhys)) &&
           file.Printf("Available physical memory, %u bytes\n", Clip32(m.ullAvailPhys)) &&
           file.Printf("Total page file, %u bytes\n", Clip32(m.ullTotalPageFile)) &&
           file.Printf("Available page file, %u bytes\n", Clip32(m.ullAvailPageFile)) &&
           file.Printf("Total virtual memory, %u bytes\n", Clip32(m.ullTotalVirtual)) &&
           file.Printf("Available virtual memory, %u bytes\n\n", Clip32(m.ullAvailVirtual));
  }
  using ull = unsigned long long;
  return file.Printf("<< Memory >>\nMemory use, %u bytes\n", m.dwMemoryLoad) &&
         file.Printf("Total physical memory, %llu bytes\n", static_cast<ull>(m.ullTotalPhys)) &&
         file.Printf("Available physical memory, %llu bytes\n", static_cast<ull>(m.ullAvailPhys)) &&
         file.Printf("Total page file, %llu bytes\n", static_cast<ull>(m.ullTotalPageFile)) &&
         file.Printf("Available page file, %llu bytes\n", static_cast<ull>(m.ullAvailPageFile)) &&
         file.Printf("Total virtual memory, %llu bytes\n", static_cast<ull>(m.ullTotalVirtual)) &&
         file.Printf("Available virtual memory, %llu bytes\n", static_cast<ull>(m.ullAvailVirtual)) &&
         file.Printf("Available extended virtual memory, %llu bytes\n\n", static_cast<ull>(m.ullAvailExtendedVirtual));
}

}  // namespace report
