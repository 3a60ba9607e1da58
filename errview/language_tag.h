// The display language of the error display: its language file and the tag that picks
// the manual's language.
#pragma once
#include <optional>
#include <string>

#include "platform/win_types.h"

namespace errview {

enum LanguageTag {
  LANG_ENGLISH,
  LANG_SIMPLEFY_CHINESE,
  LANG_GERMAN,
  LANG_SPANISH,
  LANG_FRENCH,
  LANG_ITALIAN,
  LANG_JAPNESE,
  LANG_KOREAN,
  LANG_PORTUGUESE_BRAZILIAN,
  LANG_RUSSIAN,
};

// By the same rule as the language file: English unless that rule picks a file.
LanguageTag SelectLanguageTag(platform::LANGID user, platform::LANGID system);

// "-g" for German and so on, "-e" for English and every language without a manual.
const char* ManualSuffix(LanguageTag tag);

}  // namespace errview
