// The operating system's version information, as GetVersionEx, GetSystemMetrics
// (SM_SERVERR2), GetNativeSystemInfo and GetSystemInfo give it. On Linux the answer is
// this system's own: platform VER_PLATFORM_LINUX, the distribution's PRETTY_NAME from
// os-release as the product name, major, minor and build from the kernel release
// ("6.8.0-45-generic" is 6, 8, 0) and the kernel's version text as CSDVersion; there
// are no service packs, so the extended part is absent.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform::system {

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// Not a Windows number: the platform id of this system.
constexpr DWORD VER_PLATFORM_LINUX = 0x4C4E5800;

constexpr uint8_t VER_NT_WORKSTATION = 1;
constexpr uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
constexpr uint8_t VER_NT_SERVER = 3;

struct OsVersionInfo {
  DWORD dwPlatformId = VER_PLATFORM_LINUX;
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  std::string szCSDVersion;
  // The OSVERSIONINFOEX part; absent where only the short form is answered.
  bool extended = false;
  uint16_t wServicePackMajor = 0;
  uint16_t wServicePackMinor = 0;
  uint8_t wProductType = VER_NT_WORKSTATION;
  bool server_r2 = false;      // GetSystemMetrics(SM_SERVERR2) != 0
  bool x64_processor = false;  // the native processor architecture is AMD64
  std::string product_name;    // Linux: the distribution's name
};

OsVersionInfo GetVersionEx();
// Tests answer a system of their choice; nullopt restores the real answer.
void ForceVersionForTest(std::optional<OsVersionInfo> version);

// The Linux answer from the os-release text, the kernel release, its version text and
// the machine name (uname).
OsVersionInfo LinuxVersion(std::string_view os_release, std::string_view kernel_release,
                           std::string_view kernel_version, std::string_view machine);

// GetSystemInfo's processor count: the processors online.
DWORD NumberOfProcessors();
void ForceNumberOfProcessorsForTest(std::optional<DWORD> count);

}  // namespace platform::system
