#include "report/file_version.h"

#include <system_error>

#include "platform/file_io.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"

namespace report {
namespace {

namespace fs = std::filesystem;

// Far beyond any language file; larger files are not resource scripts.
constexpr size_t kMaxScriptBytes = 16 * 1024 * 1024;

// The version query: the first translation names the string block.
std::optional<std::string> QueryFileVersion(const resources::VersionResource& version) {
  const resources::VersionValue* translation = version.Find("\\VarFileInfo\\Translation");
  if (!translation || translation->numbers.size() < 2) return std::nullopt;
  const resources::VersionValue* value = version.Find(platform::Format(
      "\\StringFileInfo\\%04X%04X\\FileVersion", translation->numbers[0] & 0xFFFF, translation->numbers[1] & 0xFFFF));
  if (!value) return std::nullopt;
  return value->text;
}

std::optional<resources::ResourceScript> ReadScript(const fs::path& file) {
  const std::optional<std::string> bytes = platform::files::ReadFileUpTo(file, kMaxScriptBytes + 1);
  if (!bytes || bytes->size() > kMaxScriptBytes) return std::nullopt;
  return resources::ParseResourceScript(*bytes).script;
}

bool IsRunningProgram(const fs::path& file) {
  const std::optional<fs::path> module = platform::paths::ToHost(platform::paths::GetModuleFileName());
  std::error_code ec;
  return module && fs::equivalent(file, *module, ec);
}

// Our program carries the built-in script's version resource; a language file (a
// resource script) its own; any other file none.
std::optional<resources::ResourceScript> VersionSource(const fs::path& file) {
  if (IsRunningProgram(file)) return resources::ParseResourceScript(resources::ScanutilScript()).script;
  return ReadScript(file);
}

}  // namespace

std::optional<std::string> FindFileVersion(std::string_view windows_path) {
  const std::optional<fs::path> host = platform::paths::ToHost(windows_path);
  std::error_code ec;
  if (!host || !fs::is_regular_file(*host, ec)) return std::nullopt;
  const std::optional<resources::ResourceScript> script = VersionSource(*host);
  if (!script || !script->version) return std::nullopt;
  return QueryFileVersion(*script->version);
}

std::string FileVersion(std::string_view windows_path) {
  return FindFileVersion(windows_path).value_or(std::string(kNoVersion));
}

}  // namespace report
