// Language identifiers from the locale.
#pragma once
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/win_types.h"

namespace platform {

constexpr LANGID PRIMARYLANGID(LANGID id) { return id & 0x3FF; }
constexpr LANGID SUBLANGID(LANGID id) { return id >> 10; }
constexpr LANGID MAKELANGID(LANGID primary, LANGID sub) { return static_cast<LANGID>(sub << 10 | primary); }

// A POSIX locale name ("fr_FR.UTF-8", "zh_TW", "pt_BR@euro", "C") as a Windows
// language identifier; unknown names give 0x0409 (English, United States).
LANGID LocaleToLangId(std::string_view locale);

// User: LC_ALL, LC_MESSAGES, LANG. System: LANG in /etc/default/locale, then $LANG.
LANGID GetUserDefaultLangID();
LANGID GetSystemDefaultLangID();
// Tests force the answers; nullopt restores the locale.
void ForceLangIdsForTest(std::optional<LANGID> user, std::optional<LANGID> system);
// Tests read the system locale from their own file; nullopt restores /etc/default/locale.
void SetSystemLocaleFileForTest(std::optional<std::filesystem::path> file);

}  // namespace platform
