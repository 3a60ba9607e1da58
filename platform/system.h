// System information the program logic asks for.
#pragma once
#include <cstdint>
#include <optional>

namespace platform::system {

// The answer of kernel32's IsWow64Process for this process; nullopt when the entry
// is absent. On Linux the process is never WOW64 unless a test forces it.
std::optional<bool> IsWow64Process();
void ForceWow64ForTest(std::optional<bool> answer);

// Device-change and power notifications.
constexpr unsigned WM_DEVICECHANGE = 0x0219;
constexpr uintptr_t DBT_DEVNODES_CHANGED = 0x0007;
constexpr unsigned WM_POWERBROADCAST = 0x0218;
constexpr uintptr_t PBT_APMQUERYSUSPEND = 0x0000;
constexpr uintptr_t PBT_APMSUSPEND = 0x0004;
constexpr uintptr_t PBT_APMRESUMESUSPEND = 0x0007;
constexpr uint32_t BROADCAST_QUERY_DENY = 0x424D5144;

// Execution state: the system is never kept awake here; the last request is kept.
constexpr uint32_t ES_SYSTEM_REQUIRED = 0x00000001;
constexpr uint32_t ES_CONTINUOUS = 0x80000000;
// The previous state.
uint32_t SetThreadExecutionState(uint32_t flags);
uint32_t LastExecutionState();

}  // namespace platform::system
