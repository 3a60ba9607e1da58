// Granting every local user full control of a folder: the access-control tool
// f_cacls.exe is started with a grant for the world group and waited for. Where the
// tool is absent nothing is changed: a folder that must be shared is opened by the
// code that created it (ShareCreatedFolders).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace aclgrant {

// The tool's command line of the launcher: the path goes in unchanged, unquoted.
std::string LauncherCommandLine(std::string_view path, std::string_view account);
// The utility's form: the tool in the program folder (with its trailing backslash), the path quoted.
std::string UtilityCommandLine(std::string_view program_folder, std::string_view path, std::string_view account);

// The utility's operation: nonzero when the tool could be started (after it ended),
// 0 otherwise (no path, or no tool).
int GrantEveryoneFullAccess(std::optional<std::string_view> path);

// The launcher's whole work for its command-line tail.
void LauncherGrant(std::string_view tail);

}  // namespace aclgrant
