#include "errorlog/log_folder.h"

#include <sys/stat.h>

#include <vector>

#include "aclgrant/access_grant.h"
#include "aclgrant/folders.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace errorlog {
namespace {

// The system folder lives on drive C:, so its root is the system drive's.
constexpr const char* kSystemDriveRoot = "C:\\";

bool FolderExists(const std::string& path) {
  const auto host = platform::paths::ToHost(path);
  struct stat st {};
  return host && ::stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> RegistryFolder() {
  const auto key = platform::RegKey::Open(platform::HKEY_CURRENT_USER, kIndicatorKey);
  if (!key) return std::nullopt;
  const auto value = key->Query(kFolderValue);
  if (!value || value->type != platform::REG_SZ) return std::nullopt;
  std::string folder = value->AsString();
  if (folder.empty()) return std::nullopt;
  return folder;
}

}  // namespace

std::string PrepareDefaultFolder() {
  const std::string folder = std::string(kSystemDriveRoot) + kDefaultSubfolder;
  std::vector<std::string> created;
  aclgrant::CreateFolderPath(folder, &created);
  if (!FolderExists(folder)) {
    // The program folder is used as it is: opening it to all would let others put
    // programs beside ours.
    char own[1024];
    aclgrant::GetProgramFolder(own, sizeof own, false);
    aclgrant::GrantEveryoneFullAccess(own);
    return own;
  }
  // Without the tool only what we made for the log is opened, never a folder found.
  if (!aclgrant::GrantEveryoneFullAccess(folder)) aclgrant::ShareCreatedFolders(created);
  return folder;
}

std::optional<std::filesystem::path> LogFolder() {
  std::string folder = PrepareDefaultFolder();
  if (auto configured = RegistryFolder()) folder = std::move(*configured);
  return platform::paths::ToHost(folder);
}

}  // namespace errorlog
