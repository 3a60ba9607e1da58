#include "scanner/debug_settings.h"

#include <vector>

#include "platform/paths.h"
#include "platform/profile.h"

namespace scanner {

namespace {
constexpr const char* kSection = "Debug";
}

std::string ScUtilIniPath() { return platform::paths::ProgramFolder() + "scUtil.ini"; }

int DebugInt(std::string_view key, int def) {
  return static_cast<int>(platform::GetPrivateProfileInt(kSection, key, def, ScUtilIniPath()));
}

std::string DebugString(std::string_view key, size_t max_chars) {
  std::vector<char> buffer(max_chars + 1);
  const auto n = platform::GetPrivateProfileString(kSection, key, "", buffer.data(),
                                                   static_cast<platform::DWORD>(buffer.size()), ScUtilIniPath());
  return std::string(buffer.data(), n);
}

}  // namespace scanner
