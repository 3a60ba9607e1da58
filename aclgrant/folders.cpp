#include "aclgrant/folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool MakeLevel(std::string_view path, std::vector<std::string>* created) {
  if (FolderExists(path)) return true;
  const auto host = platform::paths::ToHost(path);
  if (!host || ::mkdir(host->c_str(), 0777) != 0) return false;
  if (created) created->emplace_back(path);
  return true;
}

constexpr mode_t kSearchForAll = S_IXUSR | S_IXGRP | S_IXOTH;
constexpr mode_t kSharedFolder = S_ISVTX | S_IRWXU | S_IRWXG | S_IRWXO;

// Opens a folder of ours as a shared folder (sticky, writable by all) or only for
// search by all; through a descriptor, so a link put in its place is never followed.
void OpenOwnFolder(std::string_view path, bool shared) {
  const auto host = platform::paths::ToHost(path);
  if (!host) return;
  const int fd = ::open(host->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
    ::fchmod(fd, shared ? kSharedFolder : (st.st_mode & 07777) | kSearchForAll);
  ::close(fd);
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

bool CreateFolderPath(std::string_view path, std::vector<std::string>* created) {
  if (path.empty()) return false;
  size_t pos = FirstLevel(path);
  if (pos == std::string_view::npos) return false;
  while (pos < path.size()) {
    size_t end = path.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = path.size();
    if (end > pos && !MakeLevel(path.substr(0, end), created)) return false;
    pos = end + 1;
  }
  return FolderExists(path);
}

void ShareCreatedFolders(const std::vector<std::string>& created) {
  for (size_t i = 0; i < created.size(); ++i) OpenOwnFolder(created[i], i + 1 == created.size());
}

}  // namespace aclgrant
