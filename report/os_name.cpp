#include "report/os_name.h"

namespace report {
namespace {

using namespace platform::system;

bool IsWorkstation(const OsVersionInfo& v) { return v.wProductType == VER_NT_WORKSTATION; }

char ServiceLetter(const OsVersionInfo& v) { return v.szCSDVersion.size() > 1 ? v.szCSDVersion[1] : '\0'; }

std::string Windows9xName(const OsVersionInfo& v) {
  if (v.dwMajorVersion != 4) return "Unknown OS ";
  switch (v.dwMinorVersion) {
    case 0: {
      const char letter = ServiceLetter(v);
      return std::string("Microsoft Windows 95 ") + (letter == 'C' || letter == 'B' ? "OSR2 " : "");
    }
    case 10: return std::string("Microsoft Windows 98 ") + (ServiceLetter(v) == 'A' ? "SE " : "");
    case 90: return "Microsoft Windows Me ";
    default: return "Unknown OS ";
  }
}

// The name, and whether "x64 Edition" may follow it.
std::pair<std::string, bool> WindowsNtName(const OsVersionInfo& v) {
  if (v.dwMajorVersion <= 4) return {"Microsoft Windows NT ", false};
  if (v.dwMajorVersion == 5) {
    switch (v.dwMinorVersion) {
      case 0: return {"Microsoft Windows 2000 ", false};
      case 1: return {"Microsoft Windows XP ", true};
      case 2:
        if (v.server_r2) return {"Microsoft Windows Server 2003 \"R2\" ", true};
        if (IsWorkstation(v) && v.x64_processor) return {"Microsoft Windows XP Professional x64 Edition ", false};
        return {"Microsoft Windows Server 2003 ", true};
      default: return {"Unknown OS ", false};
    }
  }
  if (v.dwMajorVersion == 6) {
    switch (v.dwMinorVersion) {
      case 0: return {IsWorkstation(v) ? "Microsoft Windows Vista" : "Microsoft Windows Server 2008", true};
      case 1: return {IsWorkstation(v) ? "Microsoft Windows 7" : "Unknown OS", true};
      default: return {"Unknown OS ", true};
    }
  }
  return {"Unknown OS ", false};
}

}  // namespace

std::string OsName(const OsVersionInfo& v, bool wow64) {
  switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return "Microsoft Win32s ";
    case VER_PLATFORM_WIN32_WINDOWS: return Windows9xName(v);
    case VER_PLATFORM_WIN32_NT: {
      auto [name, x64_suffix] = WindowsNtName(v);
      // Appended as it is, after the name's own spacing.
      if (x64_suffix && wow64) name += "x64 Edition";
      return name;
    }
    case VER_PLATFORM_LINUX: return v.product_name;
    default: return "Unknown OS ";
  }
}

bool LacksUsb(const OsVersionInfo& v) {
  switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return true;
    case VER_PLATFORM_WIN32_WINDOWS: return v.dwMajorVersion == 4 && v.dwMinorVersion == 0;
    case VER_PLATFORM_WIN32_NT: return v.dwMajorVersion <= 4;
    default: return false;
  }
}

}  // namespace report
