#include "report/work_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/paths.h"

namespace report {
namespace {

namespace fs = std::filesystem;

std::string Join(std::string folder, std::string_view name) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + std::string(name);
}

// A real folder at the path, made when missing; a link or a file there is not used.
// New folders get the usual rights: the temporary folder's own (open to everyone)
// would open the user's files to other users.
bool EnsureFolder(std::string_view windows_path) {
  const std::optional<fs::path> host = platform::paths::ToHost(windows_path);
  if (!host) return false;
  if (::mkdir(host->c_str(), 0777) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  return ::lstat(host->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string CurrentFolder() {
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  return ec ? std::string() : platform::paths::ToWindows(current);
}

}  // namespace

std::string WorkFolder(std::string_view name) {
  const std::string temp_root = "C:\\TEMP";
  if (EnsureFolder(temp_root) && EnsureFolder(Join(temp_root, name))) return Join(temp_root, name);
  const std::string temp = platform::paths::GetTempPath();
  if (!temp.empty() && EnsureFolder(Join(temp, name))) return Join(temp, name);
  // The documents folder is asked for with the create flag.
  const std::string documents = platform::paths::DocumentsFolder();
  if (!documents.empty() && EnsureFolder(documents) && EnsureFolder(Join(documents, name)))
    return Join(documents, name);
  const std::string current = CurrentFolder();
  if (!current.empty() && EnsureFolder(Join(current, name))) return Join(current, name);
  return {};
}

}  // namespace report
