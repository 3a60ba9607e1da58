// The folder the error log lives in, shared with the scanner indicator.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace errorlog {

// The indicator's settings key (HKEY_CURRENT_USER) and the value naming the folder.
inline constexpr const char* kIndicatorKey = "Software\\Quorvex\\Scanner\\Indicator";
inline constexpr const char* kFolderValue = "errLogFolder";
// Below the system drive's root.
inline constexpr const char* kDefaultSubfolder = "Quorvex\\Document Scanner\\scanutil";

// Prepares the default folder (created level by level, else the program folder; the
// access grant applied to it) and returns it in Windows form without a trailing
// backslash. Without the access-control tool the folder is opened to all users
// (sticky, 1777) only when this call created it; a folder found, and the program
// folder, keep their modes.
std::string PrepareDefaultFolder();

// The folder to write to: the registry value when present, else the default. The
// default is prepared either way. nullopt when the folder has no host path.
std::optional<std::filesystem::path> LogFolder();

}  // namespace errorlog
