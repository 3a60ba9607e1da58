#include "platform/profile.h"

#include <algorithm>
#include <cstring>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace platform {
namespace {

// One line of a profile file as the reader sees it.
struct Line {
  enum Kind { kOther, kSection, kEntry } kind = kOther;
  std::string_view name;
  std::string_view value;
};

// A UTF-8 byte-order mark opening the file is not part of its text. Only the first
// is a mark: any further one belongs to the first line, as any other bytes would.
std::string_view LeadingMark(std::string_view bytes) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  return bytes.substr(0, kMark.size()) == kMark ? kMark : std::string_view{};
}

// Lines end at LF (a CR before it is dropped by trimming) or at a NUL byte, which
// ends a text as it would for the C string functions.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const size_t end = bytes.find_first_of(std::string_view("\n\0", 2));
    lines.push_back(bytes.substr(0, end));
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  }
  return lines;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

Line Classify(std::string_view raw) {
  const std::string_view line = text::Trim(raw);
  if (line.empty() || line.front() == ';') return {};
  if (line.front() == '[') {
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos) return {};
    return {Line::kSection, text::Trim(line.substr(1, close - 1)), {}};
  }
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals == 0) return {};
  return {Line::kEntry, text::Trim(line.substr(0, equals)), Unquote(text::Trim(line.substr(equals + 1)))};
}

// Leading optional sign and decimal digits; wraps around as the Windows parser does.
std::optional<int> LeadingNumber(std::string_view s) {
  size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
  uint32_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + static_cast<uint32_t>(s[i] - '0');
  return static_cast<int>(negative ? 0u - value : value);
}

// The default string loses trailing blanks, as Windows strips them.
std::string_view TrimDefault(std::string_view def) {
  const size_t last = def.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : def.substr(0, last + 1);
}

// Texts written into a file end at the first line break, so they cannot add lines.
std::string_view OneLine(std::string_view s) { return s.substr(0, s.find_first_of(std::string_view("\r\n\0", 3))); }

std::optional<size_t> FindSectionLine(const std::vector<std::string>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line line = Classify(lines[i]);
    if (line.kind == Line::kSection && text::EqualsIgnoreCase(line.name, section)) return i;
  }
  return std::nullopt;
}

// Edits the lines of a file; false when nothing changes.
bool EditLines(std::vector<std::string>& lines, std::string_view section, std::string_view key,
               std::optional<std::string_view> value) {
  const std::optional<size_t> header = FindSectionLine(lines, section);
  if (!header) {
    if (!value) return false;
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(std::string(key) + "=" + std::string(*value));
    return true;
  }
  const size_t begin = *header + 1;
  size_t insert_at = begin;  // after the section's last entry
  bool changed = false;
  for (size_t i = begin; i < lines.size();) {
    const Line line = Classify(lines[i]);
    if (line.kind == Line::kSection) break;
    if (line.kind == Line::kEntry && text::EqualsIgnoreCase(line.name, key)) {
      if (value) {
        lines[i] = std::string(line.name) + "=" + std::string(*value);
        return true;
      }
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
      continue;
    }
    if (line.kind == Line::kEntry) insert_at = i + 1;
    ++i;
  }
  if (!value) return changed;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), std::string(key) + "=" + std::string(*value));
  return true;
}

// The value, or the default without its trailing blanks as Windows gives it.
std::string ReadString(std::string_view section, std::string_view key, std::string_view def,
                       std::string_view file_name) {
  std::optional<std::string> value = ProfileFile::Load(file_name).Get(section, key);
  return value ? std::move(*value) : std::string(TrimDefault(def));
}

}  // namespace

std::optional<std::string> ProfileSection::Get(std::string_view key) const {
  const std::optional<size_t> at = keys_.Find(key);
  if (!at) return std::nullopt;
  return entries_[*at].value;
}

int ProfileSection::GetInt(std::string_view key, int def) const {
  const std::optional<std::string> value = Get(key);
  const std::optional<int> number = value ? LeadingNumber(*value) : std::nullopt;
  return number.value_or(def);
}

std::vector<std::string> ProfileSection::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(entries_.size());
  for (const Entry& e : entries_) keys.push_back(e.key);
  return keys;
}

void ProfileSection::Add(std::string_view key, std::string_view value) {
  if (keys_.Add(key, entries_.size())) entries_.push_back({std::string(key), std::string(value)});
}

// Only the first section of a name is ever read, so a later one is not kept.
ProfileFile ProfileFile::Parse(std::string_view bytes) {
  ProfileFile file;
  ProfileSection* current = nullptr;  // null before any section and in a repeated one
  for (std::string_view raw : SplitLines(bytes.substr(LeadingMark(bytes).size()))) {
    const Line line = Classify(raw);
    if (line.kind == Line::kSection) {
      const bool first = file.names_.Add(line.name, file.sections_.size());
      current = first ? &file.sections_.emplace_back(std::string(line.name)) : nullptr;
    }
    if (line.kind == Line::kEntry && current) current->Add(line.name, line.value);
  }
  return file;
}

ProfileFile ProfileFile::Load(std::string_view file_name) {
  const std::optional<std::filesystem::path> host = paths::ToHost(file_name);
  const std::optional<std::string> bytes = host ? files::ReadFileOrEmpty(*host) : std::nullopt;
  return bytes ? Parse(*bytes) : ProfileFile{};
}

const ProfileSection* ProfileFile::Find(std::string_view section) const {
  const std::optional<size_t> at = names_.Find(section);
  return at ? &sections_[*at] : nullptr;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  const ProfileSection* s = Find(section);
  return s ? s->Get(key) : std::nullopt;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int def) const {
  const ProfileSection* s = Find(section);
  return s ? s->GetInt(key, def) : def;
}

std::vector<std::string> ProfileFile::Sections() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const ProfileSection& s : sections_) names.push_back(s.name());
  return names;
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const {
  const ProfileSection* s = Find(section);
  return s ? s->Keys() : std::vector<std::string>{};
}

DWORD GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def, char* buffer,
                              DWORD size, std::string_view file_name) {
  if (!buffer || size == 0) return 0;
  const std::string text = ReadString(section, key, def, file_name);
  const size_t count = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<DWORD>(count);
}

UINT GetPrivateProfileInt(std::string_view section, std::string_view key, int def, std::string_view file_name) {
  return static_cast<UINT>(ProfileFile::Load(file_name).GetInt(section, key, def));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::optional<std::string_view> value,
                               std::string_view file_name) {
  const std::optional<std::filesystem::path> host = paths::ToHost(file_name);
  const std::optional<std::string> bytes = host ? files::ReadFileOrEmpty(*host) : std::nullopt;
  if (!bytes) {
    SetLastError(host ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
    return false;
  }
  const std::string_view mark = LeadingMark(*bytes);
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(std::string_view(*bytes).substr(mark.size()))) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
  }
  if (value) value = OneLine(*value);
  if (!EditLines(lines, OneLine(section), OneLine(key), value)) return true;
  std::string out(mark);  // kept, so the reader still takes the same bytes for the first line
  for (const std::string& line : lines) out += line + "\r\n";
  if (!files::WriteFileAtomically(*host, out)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

std::string GetProfileString(std::string_view section, std::string_view key, std::string_view def,
                             std::string_view file_name, size_t max_chars) {
  std::string text = ReadString(section, key, def, file_name);
  if (text.size() > max_chars) text.resize(max_chars);
  return text;
}

}  // namespace platform
