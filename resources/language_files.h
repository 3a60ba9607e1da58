// Language files beside the program ("ResFRA.dll", "errviewResFRA.dll", ...): resource
// scripts whose entries replace the built-in English ones.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"
#include "resources/resources.h"

namespace resources {

// The language file for the user's and the system's default languages, with the
// program's prefix ("" for the utility, "errview" for the error display); nullopt
// means the built-in English resources.
std::optional<std::string> SelectLanguageFile(platform::LANGID user, platform::LANGID system,
                                              std::string_view program_prefix = {});

// Every language file name the program may use, in the table's order.
std::vector<std::string> LanguageFileNames(std::string_view program_prefix = {});

// The built-in script with the language file's entries over it. A missing, unreadable
// or malformed language file leaves the built-in resources, silently.
Resources LoadResources(std::string_view builtin_text, const std::optional<std::filesystem::path>& language_file);

// Start-up: the language file chosen by the locale's default languages, from the
// program folder (Windows form with its trailing backslash, as paths::ProgramFolder()).
Resources LoadProgramResources(std::string_view builtin_text, std::string_view program_folder,
                               std::string_view program_prefix = {});

}  // namespace resources
