#include "aclgrant/access_grant.h"

#include "aclgrant/world_group.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace aclgrant {
namespace {

constexpr const char* kTool = "f_cacls.exe";

// Starts the command line without a console and waits for it; false when it could not start.
bool RunAndWait(std::string_view command_line) {
  const auto pid = platform::process::CreateProcess(command_line, platform::process::CREATE_NO_WINDOW);
  if (!pid) return false;
  platform::process::WaitForProcess(*pid);
  return true;
}

}  // namespace

std::string LauncherCommandLine(std::string_view path, std::string_view account) {
  return platform::Format("%s %.*s /g \"%.*s\":F", kTool, static_cast<int>(path.size()), path.data(),
                          static_cast<int>(account.size()), account.data());
}

std::string UtilityCommandLine(std::string_view program_folder, std::string_view path, std::string_view account) {
  return platform::Format("%.*s%s \"%.*s\" /g \"%.*s\":F", static_cast<int>(program_folder.size()),
                          program_folder.data(), kTool, static_cast<int>(path.size()), path.data(),
                          static_cast<int>(account.size()), account.data());
}

int GrantEveryoneFullAccess(std::optional<std::string_view> path) {
  if (!path) return 0;
  return RunAndWait(UtilityCommandLine(platform::paths::ProgramFolder(), *path, WorldGroupName())) ? 1 : 0;
}

void LauncherGrant(std::string_view tail) { RunAndWait(LauncherCommandLine(tail, WorldGroupName())); }

}  // namespace aclgrant
