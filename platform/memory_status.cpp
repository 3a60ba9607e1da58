#include "platform/memory_status.h"

#include <charconv>
#include <map>
#include <mutex>
#include <string>

#include "platform/file_io.h"
#include "platform/text.h"

namespace platform::system {
namespace {

constexpr size_t kMaxSystemFileBytes = 1 << 20;

// The user address space of a 64-bit process (47 bits less the top page).
constexpr uint64_t kUserAddressSpace = 0x7FFFFFFFF000ULL;

std::mutex forced_mutex;
std::optional<MEMORYSTATUSEX> forced_status;

// Small system files (/proc, /etc): whatever part of them can be read.
std::string ReadFile(const char* path) {
  return platform::files::ReadFileUpTo(path, kMaxSystemFileBytes).value_or(std::string());
}

// "Name:   1234 kB" lines as bytes by name.
std::map<std::string, uint64_t, std::less<>> KilobyteFields(std::string_view text) {
  std::map<std::string, uint64_t, std::less<>> fields;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view number = platform::text::Trim(line.substr(colon + 1));
    uint64_t value = 0;
    const auto [rest, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc()) continue;
    const bool kilobytes = std::string_view(rest, static_cast<size_t>(number.data() + number.size() - rest)).find("kB") !=
                           std::string_view::npos;
    fields.emplace(std::string(line.substr(0, colon)), kilobytes ? value * 1024 : value);
  }
  return fields;
}

uint64_t Field(const std::map<std::string, uint64_t, std::less<>>& fields, std::string_view name) {
  const auto it = fields.find(name);
  return it == fields.end() ? 0 : it->second;
}

uint64_t MappedBytes() {
  const auto fields = KilobyteFields(ReadFile("/proc/self/status"));
  return Field(fields, "VmSize");
}

}  // namespace

std::optional<MEMORYSTATUSEX> MemoryStatusFromMeminfo(std::string_view meminfo, uint64_t mapped_bytes) {
  const auto fields = KilobyteFields(meminfo);
  if (!fields.contains("MemTotal")) return std::nullopt;
  MEMORYSTATUSEX status;
  status.ullTotalPhys = Field(fields, "MemTotal");
  status.ullAvailPhys = fields.contains("MemAvailable") ? Field(fields, "MemAvailable") : Field(fields, "MemFree");
  if (status.ullAvailPhys > status.ullTotalPhys) status.ullAvailPhys = status.ullTotalPhys;
  status.dwMemoryLoad = status.ullTotalPhys == 0
                            ? 0
                            : static_cast<DWORD>((status.ullTotalPhys - status.ullAvailPhys) * 100 / status.ullTotalPhys);
  status.ullTotalPageFile = status.ullTotalPhys + Field(fields, "SwapTotal");
  status.ullAvailPageFile = status.ullAvailPhys + Field(fields, "SwapFree");
  status.ullTotalVirtual = kUserAddressSpace;
  status.ullAvailVirtual = mapped_bytes < kUserAddressSpace ? kUserAddressSpace - mapped_bytes : 0;
  return status;
}

bool GlobalMemoryStatusEx(MEMORYSTATUSEX& status) {
  {
    std::lock_guard<std::mutex> guard(forced_mutex);
    if (forced_status) {
      status = *forced_status;
      return true;
    }
  }
  const std::optional<MEMORYSTATUSEX> real = MemoryStatusFromMeminfo(ReadFile("/proc/meminfo"), MappedBytes());
  if (!real) return false;
  status = *real;
  return true;
}

void ForceMemoryStatusForTest(std::optional<MEMORYSTATUSEX> status) {
  std::lock_guard<std::mutex> guard(forced_mutex);
  forced_status = status;
}

}  // namespace platform::system
