// The help page: HTML\<language>\scanutil.htm in the program's folder, opened with
// the desktop's program for it.
#pragma once
#include <string>
#include <string_view>

#include "platform/message_pump.h"
#include "platform/win_types.h"

namespace utility {

// The page's folder under HTML for the user's and the system's default languages.
std::string HelpLanguageFolder(platform::LANGID user, platform::LANGID system);
// program_folder in Windows form with its trailing backslash.
std::string HelpPagePath(std::string_view program_folder, platform::LANGID user, platform::LANGID system);
// Opens the page for the default languages; a failure shows string 61703.
void OpenHelp(platform::HWND owner);

}  // namespace utility
