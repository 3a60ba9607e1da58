#include "platform/language.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/text.h"

namespace platform {
namespace {

constexpr LANGID kEnglishUS = 0x0409;

// One locale language with one territory; an empty territory is the language's
// default, used for a territory the table does not know.
struct LocaleEntry {
  std::string_view language;
  std::string_view territory;
  LANGID id;
};

constexpr std::array kLocales = {
    LocaleEntry{"en", "", 0x0409},   LocaleEntry{"en", "US", 0x0409}, LocaleEntry{"en", "GB", 0x0809},
    LocaleEntry{"en", "AU", 0x0C09}, LocaleEntry{"en", "CA", 0x1009}, LocaleEntry{"en", "NZ", 0x1409},
    LocaleEntry{"en", "IE", 0x1809}, LocaleEntry{"en", "ZA", 0x1C09}, LocaleEntry{"en", "IN", 0x4009},
    LocaleEntry{"en", "SG", 0x4809},

    LocaleEntry{"fr", "", 0x040C},   LocaleEntry{"fr", "FR", 0x040C}, LocaleEntry{"fr", "BE", 0x080C},
    LocaleEntry{"fr", "CA", 0x0C0C}, LocaleEntry{"fr", "CH", 0x100C}, LocaleEntry{"fr", "LU", 0x140C},
    LocaleEntry{"fr", "MC", 0x180C},

    LocaleEntry{"de", "", 0x0407},   LocaleEntry{"de", "DE", 0x0407}, LocaleEntry{"de", "CH", 0x0807},
    LocaleEntry{"de", "AT", 0x0C07}, LocaleEntry{"de", "LU", 0x1007}, LocaleEntry{"de", "LI", 0x1407},

    // Spain with the modern sort order, as current systems report it.
    LocaleEntry{"es", "", 0x0C0A},   LocaleEntry{"es", "ES", 0x0C0A}, LocaleEntry{"es", "MX", 0x080A},
    LocaleEntry{"es", "GT", 0x100A}, LocaleEntry{"es", "CR", 0x140A}, LocaleEntry{"es", "PA", 0x180A},
    LocaleEntry{"es", "DO", 0x1C0A}, LocaleEntry{"es", "VE", 0x200A}, LocaleEntry{"es", "CO", 0x240A},
    LocaleEntry{"es", "PE", 0x280A}, LocaleEntry{"es", "AR", 0x2C0A}, LocaleEntry{"es", "EC", 0x300A},
    LocaleEntry{"es", "CL", 0x340A}, LocaleEntry{"es", "UY", 0x380A}, LocaleEntry{"es", "PY", 0x3C0A},
    LocaleEntry{"es", "BO", 0x400A}, LocaleEntry{"es", "SV", 0x440A}, LocaleEntry{"es", "HN", 0x480A},
    LocaleEntry{"es", "NI", 0x4C0A}, LocaleEntry{"es", "PR", 0x500A}, LocaleEntry{"es", "US", 0x540A},

    LocaleEntry{"it", "", 0x0410},   LocaleEntry{"it", "IT", 0x0410}, LocaleEntry{"it", "CH", 0x0810},

    LocaleEntry{"ja", "", 0x0411},   LocaleEntry{"ko", "", 0x0412},

    // The sublanguage default of Portuguese is Brazilian.
    LocaleEntry{"pt", "", 0x0416},   LocaleEntry{"pt", "BR", 0x0416}, LocaleEntry{"pt", "PT", 0x0816},

    LocaleEntry{"ru", "", 0x0419},   LocaleEntry{"ru", "RU", 0x0419}, LocaleEntry{"ru", "MD", 0x0819},

    // A bare "zh" is taken as the mainland's simplified Chinese.
    LocaleEntry{"zh", "", 0x0804},   LocaleEntry{"zh", "CN", 0x0804}, LocaleEntry{"zh", "TW", 0x0404},
    LocaleEntry{"zh", "HK", 0x0C04}, LocaleEntry{"zh", "SG", 0x1004}, LocaleEntry{"zh", "MO", 0x1404},
};

// The system locale file of Debian-like systems.
constexpr const char* kSystemLocaleFile = "/etc/default/locale";
// Far more than any locale file holds; a larger file is read no further.
constexpr size_t kMaxLocaleFileBytes = 64 * 1024;

struct Overrides {
  std::mutex mutex;
  std::optional<LANGID> user;
  std::optional<LANGID> system;
  std::optional<std::filesystem::path> locale_file;
};

Overrides& GetOverrides() {
  static Overrides overrides;
  return overrides;
}

std::optional<LANGID> FindLocale(std::string_view language, std::string_view territory) {
  for (const LocaleEntry& entry : kLocales) {
    if (text::EqualsIgnoreCase(entry.language, language) && text::EqualsIgnoreCase(entry.territory, territory)) {
      return entry.id;
    }
  }
  return std::nullopt;
}

std::string_view EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

// The first bytes of a file; empty when it cannot be read.
std::string ReadHead(const std::filesystem::path& file, size_t max_bytes) {
  std::ifstream in(file, std::ios::binary);
  std::string head(max_bytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(max_bytes));
  head.resize(static_cast<size_t>(in.gcount()));
  return head;
}

// The value of the last LANG assignment of a shell-style locale file.
std::string LangFromLocaleFile(const std::filesystem::path& file) {
  const std::string content = ReadHead(file, kMaxLocaleFileBytes);
  std::string_view rest_of_file = content;
  std::string lang;
  while (!rest_of_file.empty()) {
    const size_t end = rest_of_file.find('\n');
    std::string_view line = text::Trim(rest_of_file.substr(0, end));
    rest_of_file = end == std::string_view::npos ? std::string_view() : rest_of_file.substr(end + 1);
    if (line.starts_with("export ")) line = text::Trim(line.substr(7));
    if (!line.starts_with("LANG=")) continue;
    line = text::Trim(line.substr(5));
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') && line.back() == line.front()) {
      line = line.substr(1, line.size() - 2);
    }
    lang = line;
  }
  return lang;
}

std::filesystem::path SystemLocaleFile() {
  Overrides& overrides = GetOverrides();
  std::lock_guard<std::mutex> guard(overrides.mutex);
  return overrides.locale_file.value_or(kSystemLocaleFile);
}

}  // namespace

LANGID LocaleToLangId(std::string_view locale) {
  const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
  const size_t separator = name.find_first_of("_-");
  const std::string_view language = name.substr(0, separator);
  const std::string_view territory = separator == std::string_view::npos ? "" : name.substr(separator + 1);
  if (std::optional<LANGID> id = FindLocale(language, territory)) return *id;
  if (std::optional<LANGID> id = FindLocale(language, "")) return *id;
  return kEnglishUS;
}

LANGID GetUserDefaultLangID() {
  {
    Overrides& overrides = GetOverrides();
    std::lock_guard<std::mutex> guard(overrides.mutex);
    if (overrides.user) return *overrides.user;
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::string_view value = EnvironmentValue(name);
    if (!value.empty()) return LocaleToLangId(value);
  }
  return kEnglishUS;
}

LANGID GetSystemDefaultLangID() {
  {
    Overrides& overrides = GetOverrides();
    std::lock_guard<std::mutex> guard(overrides.mutex);
    if (overrides.system) return *overrides.system;
  }
  const std::string from_file = LangFromLocaleFile(SystemLocaleFile());
  if (!from_file.empty()) return LocaleToLangId(from_file);
  return LocaleToLangId(EnvironmentValue("LANG"));
}

void ForceLangIdsForTest(std::optional<LANGID> user, std::optional<LANGID> system) {
  Overrides& overrides = GetOverrides();
  std::lock_guard<std::mutex> guard(overrides.mutex);
  overrides.user = user;
  overrides.system = system;
}

void SetSystemLocaleFileForTest(std::optional<std::filesystem::path> file) {
  Overrides& overrides = GetOverrides();
  std::lock_guard<std::mutex> guard(overrides.mutex);
  overrides.locale_file = std::move(file);
}

}  // namespace platform
