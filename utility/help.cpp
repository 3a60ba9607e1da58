#include "utility/help.h"

#include "platform/language.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/ui/shell.h"
#include "resources/app_resources.h"

namespace utility {
namespace {

constexpr int kIdsHelpFailed = 61703;
constexpr const char* kEnglish = "English";

struct LanguageFolder {
  platform::LANGID primary;
  const char* folder;
};
constexpr LanguageFolder kFolders[] = {
    {0x07, "German"},  {0x0A, "Spanish"}, {0x0C, "French"},  {0x10, "Italian"},
    {0x11, "Japanese"}, {0x12, "Korean"}, {0x19, "Russian"},
};

constexpr platform::LANGID kChinese = 0x04;
constexpr platform::LANGID kSubChineseSimplified = 0x02;
constexpr platform::LANGID kPortuguese = 0x16;
constexpr platform::LANGID kSubPortugueseBrazil = 0x01;

}  // namespace

// Portuguese other than Brazilian gets the English page, as it gets the English texts.
std::string HelpLanguageFolder(platform::LANGID user, platform::LANGID system) {
  const platform::LANGID primary = platform::PRIMARYLANGID(user);
  for (const LanguageFolder& entry : kFolders)
    if (entry.primary == primary) return entry.folder;
  if (primary == kPortuguese && platform::SUBLANGID(user) == kSubPortugueseBrazil) return "Brazilian Portuguese";
  if (primary == kChinese && system == platform::MAKELANGID(kChinese, kSubChineseSimplified))
    return "Chinese(Simplified)";
  return kEnglish;
}

std::string HelpPagePath(std::string_view program_folder, platform::LANGID user, platform::LANGID system) {
  return std::string(program_folder) + "HTML\\" + HelpLanguageFolder(user, system) + "\\scanutil.htm";
}

void OpenHelp(platform::HWND owner) {
  const std::string page =
      HelpPagePath(platform::paths::ProgramFolder(), platform::GetUserDefaultLangID(), platform::GetSystemDefaultLangID());
  if (platform::ui::ShellExecute(owner, "open", page, "", "", platform::ui::SW_SHOWNORMAL) <= 32)
    platform::AfxMessageBox(resources::LoadString(kIdsHelpFailed), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace utility
