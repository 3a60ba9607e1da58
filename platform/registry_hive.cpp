// Hive files are text, one item a line (LF or CR LF):
//
//   ; a comment (also '#'); blank lines are ignored
//   [Software\\Quorvex\\Scanner]     a key: its path from the root, names joined by "\\"
//   "Name"="text with \" and \\"    REG_SZ: the text, stored with one terminating NUL
//   "Count"=dword:0000001a           REG_DWORD: exactly eight hex digits
//   "Blob"=hex:01,02,ff              REG_BINARY: two hex digits a byte, comma separated
//   "List"=hex(7):61,00,00           any other type, or data that does not fit the forms above
//   @="text"                         the key's default (unnamed) value
//   []                               the root key, when it has values
//
// In key lines and quoted texts \\ is a backslash, \" a quote, \n \r \t \0 and \xHH the
// bytes they name; other bytes stand for themselves. Every key has its own line, parents
// before their subkeys, keys and values in creation order.
//
// Reading takes any bytes: a line that does not parse is skipped; after a key line that
// does not parse, value lines are skipped until the next key line; the first of two
// values of one name wins; a key line repeated adds to the same key.
#include "platform/registry_hive.h"

#include <algorithm>

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/text.h"

namespace platform::hive {
namespace {

struct Escape {
  char raw;
  char code;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'"', '"'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}, {'\0', '0'}};
constexpr char kHexDigits[] = "0123456789abcdef";

size_t CharCount(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8) count += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return count;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Two hex digits at s[i], or -1.
int HexByte(std::string_view s, size_t i) {
  if (i + 1 >= s.size()) return -1;
  const int high = HexDigit(s[i]), low = HexDigit(s[i + 1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string EscapeText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    const Escape* e = std::find_if(std::begin(kEscapes), std::end(kEscapes), [c](const Escape& x) { return x.raw == c; });
    const auto byte = static_cast<uint8_t>(c);
    if (e != std::end(kEscapes)) {
      out += '\\';
      out += e->code;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// Decodes s from i up to an unescaped quote (quoted: i ends after it; nullopt when no
// quote closes the text) or to the end. A backslash before anything else stands for that.
std::optional<std::string> UnescapeText(std::string_view s, size_t& i, bool quoted) {
  std::string out;
  while (i < s.size()) {
    const char c = s[i];
    if (quoted && c == '"') {
      ++i;
      return out;
    }
    if (c != '\\' || i + 1 >= s.size()) {
      if (c != '\\') out += c;
      ++i;
      continue;
    }
    const char code = s[i + 1];
    const Escape* e = std::find_if(std::begin(kEscapes), std::end(kEscapes), [code](const Escape& x) { return x.code == code; });
    const int byte = code == 'x' ? HexByte(s, i + 2) : -1;
    if (e != std::end(kEscapes)) {
      out += e->raw;
    } else if (byte >= 0) {
      out += static_cast<char>(byte);
      i += 2;
    } else {
      out += code;
    }
    i += 2;
  }
  if (quoted) return std::nullopt;
  return out;
}

std::optional<std::vector<uint8_t>> ParseHexList(std::string_view s) {
  std::vector<uint8_t> data;
  data.reserve(s.size() / 3 + 1);
  for (size_t i = 0; i < s.size(); i += 3) {
    const int byte = HexByte(s, i);
    if (byte < 0 || (i + 2 < s.size() && s[i + 2] != ',') || i + 3 == s.size()) return std::nullopt;
    data.push_back(static_cast<uint8_t>(byte));
  }
  return data;
}

std::optional<DWORD> ParseHexNumber(std::string_view s, size_t min_digits, size_t max_digits) {
  if (s.size() < min_digits || s.size() > max_digits) return std::nullopt;
  DWORD value = 0;
  for (char c : s) {
    if (HexDigit(c) < 0) return std::nullopt;
    value = value << 4 | static_cast<DWORD>(HexDigit(c));
  }
  return value;
}

std::optional<RegValue> ParseData(std::string_view s) {
  if (s.rfind('"', 0) == 0) {
    size_t i = 1;
    const std::optional<std::string> text = UnescapeText(s, i, true);
    if (!text || i != s.size()) return std::nullopt;
    return RegValue::String(*text);
  }
  if (s.rfind("dword:", 0) == 0) {
    const std::optional<DWORD> v = ParseHexNumber(s.substr(6), 8, 8);
    return v ? std::optional<RegValue>(RegValue::Dword(*v)) : std::nullopt;
  }
  RegValue value;
  if (s.rfind("hex:", 0) == 0) {
    s.remove_prefix(4);
  } else if (s.rfind("hex(", 0) == 0 && s.find("):") != std::string_view::npos) {
    const size_t close = s.find("):");
    const std::optional<DWORD> type = ParseHexNumber(s.substr(4, close - 4), 1, 8);
    if (!type) return std::nullopt;
    value.type = *type;
    s.remove_prefix(close + 2);
  } else {
    return std::nullopt;
  }
  std::optional<std::vector<uint8_t>> data = ParseHexList(s);
  if (!data) return std::nullopt;
  value.data = std::move(*data);
  return value;
}

std::optional<std::pair<std::string, RegValue>> ParseValueLine(std::string_view line) {
  std::string name;
  size_t i = 1;
  if (line.front() == '"') {
    std::optional<std::string> quoted = UnescapeText(line, i, true);
    if (!quoted) return std::nullopt;
    name = std::move(*quoted);
  } else if (line.front() != '@') {
    return std::nullopt;
  }
  if (i >= line.size() || line[i] != '=' || !ValidValueName(name)) return std::nullopt;
  std::optional<RegValue> value = ParseData(line.substr(i + 1));
  if (!value) return std::nullopt;
  return std::make_pair(std::move(name), std::move(*value));
}

// The key a key line names; nullopt when the line does not parse.
std::optional<std::vector<std::string>> ParseKeyLine(std::string_view line) {
  if (line.size() < 2 || line.back() != ']') return std::nullopt;
  size_t i = 0;
  const std::optional<std::string> path = UnescapeText(line.substr(1, line.size() - 2), i, false);
  return path ? SplitKeyPath(*path) : std::nullopt;
}

std::string FormatData(const RegValue& value) {
  const std::vector<uint8_t>& data = value.data;
  if (value.type == REG_SZ && !data.empty() && data.back() == 0)
    return "\"" + EscapeText(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1)) + "\"";
  if (value.type == REG_DWORD && data.size() == 4) return Format("dword:%08x", bytes::GetLE32(data.data()));
  std::string out = value.type == REG_BINARY ? "hex:" : Format("hex(%x):", value.type);
  out.reserve(out.size() + data.size() * 3);
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += ',';
    out += kHexDigits[data[i] >> 4];
    out += kHexDigits[data[i] & 15];
  }
  return out;
}

void WriteKey(const Key& key, const std::string& path, bool is_root, std::string& out) {
  if (!is_root || !key.values().empty()) out += "[" + EscapeText(path) + "]\n";
  for (const auto& [name, value] : key.values())
    out += (name.empty() ? std::string("@") : "\"" + EscapeText(name) + "\"") + "=" + FormatData(value) + "\n";
  for (const Key& sub : key.subkeys()) WriteKey(sub, path.empty() ? sub.name() : path + "\\" + sub.name(), false, out);
}

template <class K>
K* FindIn(K& root, const std::vector<std::string>& names) {
  K* key = &root;
  for (size_t i = 0; key && i < names.size(); ++i) key = key->Child(names[i]);
  return key;
}

}  // namespace

Key* Key::Child(std::string_view child_name) {
  const std::optional<size_t> at = subkey_index_.Find(child_name);
  return at ? &subkeys_[*at] : nullptr;
}

const Key* Key::Child(std::string_view child_name) const { return const_cast<Key*>(this)->Child(child_name); }

Key& Key::ChildOrNew(std::string_view child_name) {
  if (Key* child = Child(child_name)) return *child;
  subkey_index_.Add(child_name, subkeys_.size());
  return subkeys_.emplace_back(std::string(child_name));
}

const RegValue* Key::Value(std::string_view value_name) const {
  const std::optional<size_t> at = value_index_.Find(value_name);
  return at ? &values_[*at].second : nullptr;
}

void Key::SetValue(std::string_view value_name, const RegValue& value) {
  if (const std::optional<size_t> at = value_index_.Find(value_name))
    values_[*at].second = value;
  else
    AddValue(value_name, value);
}

bool Key::AddValue(std::string_view value_name, RegValue value) {
  if (!value_index_.Add(value_name, values_.size())) return false;
  values_.emplace_back(std::string(value_name), std::move(value));
  return true;
}

bool Key::DeleteValue(std::string_view value_name) {
  const std::optional<size_t> at = value_index_.Find(value_name);
  if (!at) return false;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(*at));
  IndexValues();
  return true;
}

bool Key::DeleteChild(std::string_view child_name) {
  const std::optional<size_t> at = subkey_index_.Find(child_name);
  if (!at) return false;
  subkeys_.erase(subkeys_.begin() + static_cast<std::ptrdiff_t>(*at));
  IndexSubkeys();
  return true;
}

// After a removal the later names have moved down by one.
void Key::IndexValues() {
  value_index_.Clear();
  for (size_t i = 0; i < values_.size(); ++i) value_index_.Add(values_[i].first, i);
}

void Key::IndexSubkeys() {
  subkey_index_.Clear();
  for (size_t i = 0; i < subkeys_.size(); ++i) subkey_index_.Add(subkeys_[i].name_, i);
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view name = path.substr(start, end - start);
    if (CharCount(name) > kMaxKeyNameChars) return std::nullopt;
    if (!name.empty()) names.emplace_back(name);
    if (names.size() > kMaxKeyDepth) return std::nullopt;
    start = end + 1;
  }
  return names;
}

bool ValidValueName(std::string_view name) { return CharCount(name) <= kMaxValueNameChars; }

const Key* Find(const Key& root, const std::vector<std::string>& names) { return FindIn(root, names); }
Key* Find(Key& root, const std::vector<std::string>& names) { return FindIn(root, names); }

Key& FindOrCreate(Key& root, const std::vector<std::string>& names) {
  Key* key = &root;
  for (const std::string& name : names) key = &key->ChildOrNew(name);
  return *key;
}

Key Parse(std::string_view text) {
  Key root;
  Key* current = nullptr;  // the key of the last key line that parsed
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text::Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::optional<std::vector<std::string>> names = ParseKeyLine(line);
      current = names ? &FindOrCreate(root, *names) : nullptr;
      continue;
    }
    if (!current) continue;
    std::optional<std::pair<std::string, RegValue>> value = ParseValueLine(line);
    if (value) current->AddValue(value->first, std::move(value->second));
  }
  return root;
}

std::string Write(const Key& root) {
  std::string out = "; registry hive\n";
  WriteKey(root, "", true, out);
  return out;
}

}  // namespace platform::hive
