#include "aclgrant/folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/paths.h"

namespace aclgrant {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool FolderExists(std::string_view path) {
  const auto host = platform::paths::ToHost(path);
  if (!host) return false;
  struct stat st {};
  return ::stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeLevel(std::string_view path) {
  if (FolderExists(path)) return true;
  const auto host = platform::paths::ToHost(path);
  return host && ::mkdir(host->c_str(), 0777) == 0;
}

// Where the levels to create begin: after the server name of a network path, else
// after the root, which must exist. npos when the path cannot be created.
size_t FirstLevel(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const size_t server_end = path.find_first_of("\\/", 2);
    return server_end == std::string_view::npos ? std::string_view::npos : server_end + 1;
  }
  const size_t root_end = path.find_first_of("\\/");
  if (root_end == std::string_view::npos) return std::string_view::npos;
  if (!FolderExists(path.substr(0, root_end + 1))) return std::string_view::npos;
  return root_end + 1;
}

}  // namespace

size_t GetProgramFolder(char* buffer, size_t size, bool trailing_backslash) {
  if (!buffer || size == 0) return 0;
  std::string folder = platform::paths::ProgramFolder();
  if (!trailing_backslash && !folder.empty() && folder.back() == '\\') folder.pop_back();
  const size_t n = std::min(folder.size(), size - 1);
  std::memcpy(buffer, folder.data(), n);
  buffer[n] = '\0';
  return n;
}

bool CreateFolderPath(std::string_view path) {
  if (path.empty()) return false;
  size_t pos = FirstLevel(path);
  if (pos == std::string_view::npos) return false;
  while (pos < path.size()) {
    size_t end = path.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = path.size();
    if (end > pos && !MakeLevel(path.substr(0, end))) return false;
    pos = end + 1;
  }
  return FolderExists(path);
}

}  // namespace aclgrant
