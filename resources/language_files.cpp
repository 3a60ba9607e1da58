#include "resources/language_files.h"

#include <array>

#include "platform/debug.h"
#include "platform/file_io.h"
#include "platform/format.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "resources/script_parser.h"

namespace resources {
namespace {

// A condition beyond the primary language that a file needs.
enum class Condition {
  None,
  SystemSimplifiedChinese,  // system language Chinese with sublanguage bits 0x0800
  UserBrazilian,            // user language with sublanguage bits 0x0400
};

struct LanguageFile {
  platform::LANGID primary;
  std::string_view suffix;
  Condition condition;
};

constexpr std::array kLanguageFiles = {
    LanguageFile{0x04, "CH", Condition::SystemSimplifiedChinese},
    LanguageFile{0x07, "DEU", Condition::None},
    LanguageFile{0x0A, "ESP", Condition::None},
    LanguageFile{0x0C, "FRA", Condition::None},
    LanguageFile{0x10, "ITA", Condition::None},
    LanguageFile{0x11, "JPN", Condition::None},
    LanguageFile{0x12, "KOR", Condition::None},
    LanguageFile{0x16, "PTB", Condition::UserBrazilian},
    LanguageFile{0x19, "RUS", Condition::None},
};

constexpr platform::LANGID kSublanguageMask = 0xFC00;

// Far beyond any real language file; a larger file is taken as malformed.
constexpr size_t kMaxLanguageFileBytes = 16 * 1024 * 1024;

bool Holds(Condition condition, platform::LANGID user, platform::LANGID system) {
  switch (condition) {
    case Condition::SystemSimplifiedChinese:
      return platform::PRIMARYLANGID(system) == 0x04 && (system & kSublanguageMask) == 0x0800;
    case Condition::UserBrazilian: return (user & kSublanguageMask) == 0x0400;
    case Condition::None: break;
  }
  return true;
}

std::optional<ResourceScript> ReadLanguageScript(const std::filesystem::path& file) {
  const std::optional<std::string> bytes = platform::files::ReadFileUpTo(file, kMaxLanguageFileBytes + 1);
  if (!bytes || bytes->size() > kMaxLanguageFileBytes) return std::nullopt;
  ScriptParseResult parsed = ParseResourceScript(*bytes);
  if (!parsed.script) {
    platform::OutputDebugString(platform::Format("%s: line %d: %s; English resources used\n", file.c_str(),
                                                 parsed.error.line, parsed.error.reason.c_str()));
  }
  return std::move(parsed.script);
}

std::string LanguageFileName(std::string_view program_prefix, std::string_view suffix) {
  return std::string(program_prefix) + "Res" + std::string(suffix) + ".dll";
}

}  // namespace

std::vector<std::string> LanguageFileNames(std::string_view program_prefix) {
  std::vector<std::string> names;
  for (const LanguageFile& entry : kLanguageFiles) names.push_back(LanguageFileName(program_prefix, entry.suffix));
  return names;
}

std::optional<std::string> SelectLanguageFile(platform::LANGID user, platform::LANGID system,
                                              std::string_view program_prefix) {
  for (const LanguageFile& entry : kLanguageFiles) {
    if (entry.primary != platform::PRIMARYLANGID(user)) continue;
    if (!Holds(entry.condition, user, system)) return std::nullopt;
    return LanguageFileName(program_prefix, entry.suffix);
  }
  return std::nullopt;
}

Resources LoadResources(std::string_view builtin_text, const std::optional<std::filesystem::path>& language_file) {
  ScriptParseResult builtin = ParseResourceScript(builtin_text);
  if (!builtin.script) {
    platform::OutputDebugString(platform::Format("built-in resources: line %d: %s\n", builtin.error.line,
                                                 builtin.error.reason.c_str()));
  }
  Resources resources(builtin.script.value_or(ResourceScript{}));
  if (language_file) {
    if (std::optional<ResourceScript> language = ReadLanguageScript(*language_file)) resources.Override(*language);
  }
  return resources;
}

Resources LoadProgramResources(std::string_view builtin_text, std::string_view program_folder,
                               std::string_view program_prefix) {
  const std::optional<std::string> name = SelectLanguageFile(
      platform::GetUserDefaultLangID(), platform::GetSystemDefaultLangID(), program_prefix);
  std::optional<std::filesystem::path> file;
  if (name) file = platform::paths::ToHost(std::string(program_folder) + *name);
  return LoadResources(builtin_text, file);
}

}  // namespace resources
