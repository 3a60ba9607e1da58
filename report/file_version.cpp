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

// The programs of the suite carry no resource section of their own: their version
// resource is the one of the script built into them.
struct BuiltinVersion {
  std::string_view program;
  std::string_view (*script)();
};
constexpr BuiltinVersion kBuiltinVersions[] = {{"scanutil", resources::ScanutilScript}};

bool SameFile(const fs::path& file, const std::optional<fs::path>& other) {
  std::error_code ec;
  return other && fs::equivalent(file, *other, ec);
}

std::optional<std::string_view> BuiltinScriptOf(const fs::path& file) {
  // The running program is scanutil or a tool built from its libraries.
  if (SameFile(file, platform::paths::ToHost(platform::paths::GetModuleFileName()))) return resources::ScanutilScript();
  for (const BuiltinVersion& entry : kBuiltinVersions)
    if (SameFile(file, platform::paths::ToHost(platform::paths::ProgramFolder() + std::string(entry.program))))
      return entry.script();
  return std::nullopt;
}

// Executable images start with a binary header; only text files can be scripts, so
// the first bytes decide before a whole image is read.
bool MayBeScript(const fs::path& file) {
  const std::optional<std::string> head = platform::files::ReadFileUpTo(file, 64);
  return head && head->find('\0') == std::string::npos;
}

// A suite program has its built-in script's version resource; a language file (a
// resource script) its own; any other file none.
std::optional<resources::ResourceScript> VersionSource(const fs::path& file) {
  if (const auto builtin = BuiltinScriptOf(file)) return resources::ParseResourceScript(*builtin).script;
  if (!MayBeScript(file)) return std::nullopt;
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
