#include "errview/manual.h"

#include <array>
#include <cctype>
#include <filesystem>

#include "platform/format.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace errview {
namespace {

constexpr const char* kManualsKey = "SOFTWARE\\Quorvex\\Quorvex Scanner Manuals\\1.00.000";
constexpr const char* kInstallDir = "InstallDir";
constexpr size_t kInstallDirBytes = 256;

struct ManualName {
  std::string_view model;
  std::string_view base;
};

constexpr std::array kManualNames = {
    ManualName{"t9793z", "t9786z"}, ManualName{"t9783z", "t9786z"}, ManualName{"t9791z", "t9786z"},
    ManualName{"t9781z", "t9786z"}, ManualName{"t9796z", "t9786z"}, ManualName{"t9786z", "t9786z"},
    ManualName{"t2713z", "t2713z"}, ManualName{"t2723z", "t2723z"},
    ManualName{"t5713z", "t5713z"}, ManualName{"t5713zp", "t5713z"}, ManualName{"t5713za", "t5713z"},
    ManualName{"t4793z", "t4793z"}, ManualName{"t4797z", "t4793z"},
    ManualName{"t4783z", "t4783z"}, ManualName{"t4713z", "t4713z"}, ManualName{"u4777", "u4777"},
    ManualName{"t8713z", "t8763z"}, ManualName{"t8713zp", "t8763z"}, ManualName{"t8713za", "t8763z"},
    ManualName{"t8763z", "t8763z"}, ManualName{"t8763zp", "t8763z"}, ManualName{"t8763za", "t8763z"},
    ManualName{"t3733z", "t3733z"}, ManualName{"tt767", "tt767"},
};

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string InstallFolder() {
  const auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, kManualsKey);
  if (!key) return {};
  const auto value = key->Query(kInstallDir);
  if (!value || value->type != platform::REG_SZ) return {};
  std::string folder = value->AsString();
  if (folder.size() >= kInstallDirBytes) folder.resize(kInstallDirBytes - 1);
  return folder;
}

bool FileExists(const std::string& path) {
  const auto host = platform::paths::ToHost(path);
  std::error_code ec;
  return host && std::filesystem::is_regular_file(*host, ec);
}

std::string ManualPath(const std::string& folder, const std::string& base, const char* variant, const char* suffix) {
  return platform::Format("%s\\%s%s%s.pdf", folder.c_str(), base.c_str(), variant, suffix);
}

}  // namespace

std::string ManualBaseName(std::string_view model_name) {
  const std::string model = LowerAscii(model_name);
  for (const ManualName& entry : kManualNames)
    if (entry.model == model) return std::string(entry.base);
  return model;
}

const char* VariantLetter(int manual_variant) {
  switch (manual_variant) {
    case 1: return "i";
    case 2: return "m";
    default: return "";
  }
}

std::optional<std::string> FindManual(std::string_view model_name, int manual_variant, LanguageTag tag) {
  const std::string folder = InstallFolder();
  if (folder.empty()) return std::nullopt;
  const std::string base = ManualBaseName(model_name);
  const char* variant = VariantLetter(manual_variant);
  for (const char* suffix : {ManualSuffix(tag), "-e"}) {
    std::string path = ManualPath(folder, base, variant, suffix);
    if (FileExists(path)) return path;
  }
  return std::nullopt;
}

}  // namespace errview
