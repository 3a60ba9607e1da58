#include "aclgrant/access_grant.h"

#include <sys/stat.h>

#include "platform/format.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace aclgrant {
namespace {

constexpr const char* kTool = "f_cacls.exe";

// Starts the command line and waits for it; false when it could not start.
bool RunAndWait(std::string_view command_line) {
  const auto pid = platform::process::CreateProcess(command_line);
  if (!pid) return false;
  platform::process::WaitForProcess(*pid);
  return true;
}

}  // namespace

std::string WorldGroupName() { return "Everyone"; }

std::string LauncherCommandLine(std::string_view path, std::string_view account) {
  return platform::Format("%s %.*s /g \"%.*s\":F", kTool, static_cast<int>(path.size()), path.data(),
                          static_cast<int>(account.size()), account.data());
}

std::string UtilityCommandLine(std::string_view program_folder, std::string_view path, std::string_view account) {
  return platform::Format("%.*s%s \"%.*s\" /g \"%.*s\":F", static_cast<int>(program_folder.size()),
                          program_folder.data(), kTool, static_cast<int>(path.size()), path.data(),
                          static_cast<int>(account.size()), account.data());
}

void OpenFolderToAll(std::string_view path) {
  // An empty path would name the current folder, which nobody asked to open.
  if (path.find_first_not_of(" \t") == std::string_view::npos) return;
  const auto host = platform::paths::ToHost(path);
  if (!host) return;
  struct stat st {};
  if (::stat(host->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  ::chmod(host->c_str(), (st.st_mode & 07777) | S_IRWXU | S_IRWXG | S_IRWXO);
}

int GrantEveryoneFullAccess(std::optional<std::string_view> path) {
  if (!path) return 0;
  const std::string folder = platform::paths::ProgramFolder();
  if (!platform::process::FindProgram(folder + kTool)) {
    OpenFolderToAll(*path);
    return 0;
  }
  return RunAndWait(UtilityCommandLine(folder, *path, WorldGroupName())) ? 1 : 0;
}

void LauncherGrant(std::string_view tail) {
  if (platform::process::FindProgram(kTool)) {
    RunAndWait(LauncherCommandLine(tail, WorldGroupName()));
    return;
  }
  // Without the tool, a tail that names one folder (quoted or not) is opened to all.
  const auto args = platform::process::SplitCommandLine(std::string(kTool) + " " + std::string(tail));
  OpenFolderToAll(args.size() == 2 ? std::string_view(args[1]) : tail);
}

}  // namespace aclgrant
