#include "errview/language_tag.h"

#include <array>

#include "platform/language.h"
#include "resources/language_files.h"

namespace errview {
namespace {

struct Language {
  platform::LANGID primary;
  LanguageTag tag;
  const char* manual_suffix;
};

constexpr std::array kLanguages = {
    Language{0x04, LANG_SIMPLEFY_CHINESE, "-c"}, Language{0x07, LANG_GERMAN, "-g"},
    Language{0x0A, LANG_SPANISH, "-s"},          Language{0x0C, LANG_FRENCH, "-f"},
    Language{0x10, LANG_ITALIAN, "-i"},          Language{0x11, LANG_JAPNESE, "-j"},
    Language{0x12, LANG_KOREAN, "-k"},           Language{0x16, LANG_PORTUGUESE_BRAZILIAN, "-ptb"},
    Language{0x19, LANG_RUSSIAN, "-r"},
};

}  // namespace

LanguageTag SelectLanguageTag(platform::LANGID user, platform::LANGID system) {
  // The conditions (Chinese only on a simplified-Chinese system, Portuguese only for
  // Brazil) are the language file's; a language without its file stays English.
  if (!resources::SelectLanguageFile(user, system)) return LANG_ENGLISH;
  for (const Language& language : kLanguages)
    if (language.primary == platform::PRIMARYLANGID(user)) return language.tag;
  return LANG_ENGLISH;
}

const char* ManualSuffix(LanguageTag tag) {
  for (const Language& language : kLanguages)
    if (language.tag == tag) return language.manual_suffix;
  return "-e";
}

}  // namespace errview
