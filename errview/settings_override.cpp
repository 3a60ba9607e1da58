#include "errview/settings_override.h"

#include <array>
#include <filesystem>

#include "platform/paths.h"
#include "platform/profile.h"

namespace errview {
namespace {

constexpr const char* kSection = "errview";
constexpr platform::DWORD kValueBuffer = 260;

struct Key {
  const char* name;
  std::string DisplayInputs::*field;
  bool line_breaks;
};
constexpr std::array<Key, 6> kKeys = {{
    {"errTypeStr", &DisplayInputs::error_type, false},
    {"errCode", &DisplayInputs::error_code, false},
    {"msgStr1", &DisplayInputs::message1, true},
    {"msgStr2", &DisplayInputs::message2, true},
    {"modelName", &DisplayInputs::model_name, false},
    {"illustPath", &DisplayInputs::illust_path, false},
}};

bool FileExists(const std::string& file_name) {
  const auto host = platform::paths::ToHost(file_name);
  std::error_code ec;
  return host && std::filesystem::is_regular_file(*host, ec);
}

}  // namespace

std::string LineBreaksFromProfile(std::string_view text) {
  static constexpr std::string_view kWritten = "\\r\\n";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text.substr(i, kWritten.size()) == kWritten) {
      out += "\r\n";
      i += kWritten.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

bool ApplySettingsOverride(DisplayInputs& inputs, const std::string& file_name) {
  if (!FileExists(file_name)) return false;
  for (const Key& key : kKeys) {
    char buffer[kValueBuffer] = {};
    if (platform::GetPrivateProfileString(kSection, key.name, "", buffer, kValueBuffer, file_name) == 0) continue;
    inputs.*key.field = key.line_breaks ? LineBreaksFromProfile(buffer) : std::string(buffer);
  }
  return true;
}

std::string CurrentFolderSettingsFile() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  return platform::paths::ToWindows(folder) + "\\scUtil.ini";
}

}  // namespace errview
