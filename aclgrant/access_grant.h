// Granting every local user full control of a folder: the access-control tool
// f_cacls.exe is started with a grant for the world group and waited for. Where the
// tool is absent the folder is made writable by all local users instead.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace aclgrant {

// The account name of the world group on this system.
std::string WorldGroupName();

// The tool's command line of the launcher: the path goes in unchanged, unquoted.
std::string LauncherCommandLine(std::string_view path, std::string_view account);
// The utility's form: the tool in the program folder (with its trailing backslash), the path quoted.
std::string UtilityCommandLine(std::string_view program_folder, std::string_view path, std::string_view account);

// The utility's operation: nonzero when the tool could be started (after it ended),
// 0 otherwise (no path, or no tool). Without the tool the folder is opened to all.
int GrantEveryoneFullAccess(std::optional<std::string_view> path);

// The launcher's whole work for its command-line tail.
void LauncherGrant(std::string_view tail);

// Tests and the fallback: gives all local users read, write and search on a folder
// (Windows path); quietly does nothing for an empty path or when it is not possible.
void OpenFolderToAll(std::string_view path);

}  // namespace aclgrant
